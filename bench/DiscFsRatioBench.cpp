// `pixalto-cli scan --format tsv` over a generated MODE2/2352 disc image with
// its ISO 9660 file system (every hit named by its file) against the same
// image whose volume descriptor is broken (hits by sector only): the cost of
// reading the file system and looking each hit up. Both run as whole
// processes in the same run, alternating, the image in the page cache; the
// best of a few runs each. Prints the times and the ratio line scripts/bench
// collects.
//
// The image is made by genisoimage from sparse files under one folder, then
// wrapped sector by sector as Mode 2 Form 1 with a TIM in every MiB.
//
//   discfs_ratio_bench [MIB [FOLDER]]     (700 MiB unless told)

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "TimeProcess.h"
#include "disc/SectorFormat.h"
#include "support/DiscBuilder.h"
#include "support/TimBuilder.h"

namespace {

using namespace pixalto;
namespace fs = std::filesystem;

constexpr std::size_t kMiB = std::size_t{1} << 20;
constexpr std::size_t kFileMiB = 7;
constexpr std::uint32_t kTimEverySectors = 512;  // one a MiB of data
constexpr std::size_t kVolumeDescriptorSector = 16;
constexpr int kRounds = 10;
constexpr double kTarget = 1.1;

[[noreturn]] void Fail(const std::string& what) {
    std::perror(what.c_str());
    std::exit(1);
}

// Returns the number of TIMs placed.
std::size_t WriteImage(const fs::path& folder, const std::string& image, std::size_t mebibytes) {
    const fs::path root = folder / "root";
    fs::create_directories(root / "DATA");
    for (std::size_t i = 0; i * kFileMiB < mebibytes; ++i) {
        const fs::path file = root / "DATA" / ("F" + std::to_string(i) + ".BIN");
        std::FILE* out = std::fopen(file.c_str(), "wb");
        if (out == nullptr) {
            Fail(file.string());
        }
        std::fclose(out);
        fs::resize_file(file, kFileMiB * kMiB);  // sparse: zeros
    }
    const std::string iso = (folder / "image.iso").string();
    const std::string command =
        "genisoimage -quiet -o '" + iso + "' '" + root.string() + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "genisoimage failed or is missing\n");
        std::exit(1);
    }
    fs::remove_all(root);

    std::FILE* in = std::fopen(iso.c_str(), "rb");
    std::FILE* out = std::fopen(image.c_str(), "wb");
    if (in == nullptr || out == nullptr) {
        Fail(image);
    }
    const auto tim = testing::MakeTim(testing::PatternTim(4, 64, 32));
    std::vector<std::uint8_t> data(disc::kUserDataSize);
    std::size_t tims = 0;
    for (std::uint32_t lba = 0; std::fread(data.data(), 1, data.size(), in) == data.size(); ++lba) {
        if (lba > kVolumeDescriptorSector + 16 && lba % kTimEverySectors == 0) {
            std::copy(tim.begin(), tim.end(), data.begin() + 100);
            ++tims;
        }
        const auto sector = testing::MakeSector(disc::SectorKind::Mode2Form1, lba, data);
        if (std::fwrite(sector.data(), 1, sector.size(), out) != sector.size()) {
            Fail(image);
        }
    }
    std::fclose(in);
    if (std::fclose(out) != 0) {
        Fail(image);
    }
    fs::remove(iso);
    return tims;
}

// Writes the volume descriptor sector with its "CD001" intact or broken,
// its codes rebuilt either way.
void SetFileSystem(const std::string& image, bool readable) {
    const int fd = ::open(image.c_str(), O_RDWR);
    std::vector<std::uint8_t> sector(disc::kSectorSize);
    const off_t at = static_cast<off_t>(kVolumeDescriptorSector * disc::kSectorSize);
    if (fd < 0 || ::pread(fd, sector.data(), sector.size(), at) != std::ssize(sector)) {
        Fail(image);
    }
    const std::size_t data = disc::kForm1DataOffset;
    std::vector<std::uint8_t> user(sector.begin() + data,
                                   sector.begin() + data + disc::kUserDataSize);
    user[1] = readable ? 'C' : 'X';
    sector = testing::MakeSector(disc::SectorKind::Mode2Form1, kVolumeDescriptorSector, user);
    if (::pwrite(fd, sector.data(), sector.size(), at) != std::ssize(sector)) {
        Fail(image);
    }
    ::close(fd);
}

// Rows of a TSV listing that name a file.
std::size_t RowsWithPath(const std::string& listing) {
    std::FILE* in = std::fopen(listing.c_str(), "r");
    std::size_t rows = 0;
    char line[4096];
    while (in != nullptr && std::fgets(line, sizeof line, in) != nullptr) {
        rows += std::strstr(line, "\t/DATA/F") != nullptr ? 1 : 0;
    }
    if (in != nullptr) {
        std::fclose(in);
    }
    return rows;
}

}  // namespace

int main(int argc, char** argv) {
    const std::size_t mebibytes = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 700;
    if (mebibytes == 0) {
        std::fprintf(stderr, "usage: %s [MIB [FOLDER]]\n", argv[0]);
        return 2;
    }
    const fs::path folder = fs::path(argc > 2 ? argv[2] : fs::temp_directory_path().string()) /
                            ("pixalto-discfs-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::string image = (folder / "GAME.BIN").string();
    const std::string listing = (folder / "listing.tsv").string();
    const std::size_t tims = WriteImage(folder, image, mebibytes);
    const std::vector<std::string> scan = {PIXALTO_CLI_PATH, "scan", image, "--format", "tsv"};

    bench::TimeProcess(scan, listing.c_str(),
                       "/dev/null");  // warms the cache and checks the result
    const std::size_t named = RowsWithPath(listing);
    double with = 1e9;
    double without = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        SetFileSystem(image, false);
        without = std::min(without, bench::TimeProcess(scan, "/dev/null", "/dev/null"));
        SetFileSystem(image, true);
        with = std::min(with, bench::TimeProcess(scan, "/dev/null", "/dev/null"));
    }
    fs::remove_all(folder);

    std::printf("disc image (%s): %zu MiB of files, %zu TIMs\n", folder.c_str(), mebibytes, tims);
    std::printf("  scan --format tsv, file system read:   %8.3f s\n", with);
    std::printf("  scan --format tsv, no file system:     %8.3f s\n", without);
    std::printf(
        "ratio disc scan with its file system, %zu MiB: %.2fx the scan without it "
        "(target <= %.1fx)\n",
        mebibytes, with / without, kTarget);
    if (named != tims) {
        std::fflush(stdout);  // the figures first, then why they don't count
        std::fprintf(stderr, "the scan named %zu TIMs by file, %zu were placed\n", named, tims);
        return 1;
    }
    return 0;
}
