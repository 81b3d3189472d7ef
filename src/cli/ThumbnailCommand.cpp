#include <algorithm>
#include <iostream>
#include <memory>
#include <span>
#include <vector>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Failure.h"
#include "cli/PngFile.h"
#include "cli/ThumbnailScale.h"
#include "image/LoadImage.h"
#include "image/Paint.h"
#include "platform/File.h"

namespace pixalto::cli {
namespace {

// The largest thumbnail side: the largest size the desktop's thumbnail
// folders keep.
constexpr std::uint64_t kMaxSize = 1024;

// A file manager asks for thumbnails of whatever it is shown, so the work
// must stay small for any file: a block (CLUT or pixels) may hold at most
// the PlayStation's whole video memory, 1024 x 512 16-bit words, which no
// TIM meant for the console exceeds. Only the bytes such a TIM can span are
// read, whatever follows them in the file.
constexpr std::uint32_t kMaxBlockData = 1024 * 512 * 2;
constexpr std::size_t kMaxTimBytes =
    TimHeader::kSize + 2 * (BlockHeader::kSize + std::size_t{kMaxBlockData});

struct ThumbnailArgs {
    std::string in;
    std::string out;
    std::uint64_t size = 0;
};

bool TooLarge(const std::optional<BlockHeader>& block) {
    // A length below the header's own size is the reader's to refuse.
    return block && block->length >= BlockHeader::kSize && block->DataSize() > kMaxBlockData;
}

// Whether the TIM at the start of bytes claims a block beyond the bound.
// Headers that aren't a TIM's pass: the reader names what is wrong.
bool ClaimsTooMuch(std::span<const std::uint8_t> bytes) {
    const auto head = TimHeader::Parse(bytes);
    if (!head || !head->IsValid()) {
        return false;
    }
    std::uint32_t clutLength = 0;
    if (head->HasClut()) {
        const auto clut = BlockHeader::Parse(bytes.subspan(TimHeader::kSize));
        if (TooLarge(clut)) {
            return true;
        }
        clutLength = clut ? clut->length : 0;
    }
    const std::uint64_t imageAt = head->ImageBlockOffset(clutLength);
    return imageAt < bytes.size() && TooLarge(BlockHeader::Parse(bytes.subspan(imageAt)));
}

// The first kMaxTimBytes of path (all of a smaller file).
Result<std::vector<std::uint8_t>> ReadHead(const std::string& path) {
    File file;
    if (!file.Open(path, File::Mode::Read)) {
        return file.LastError().As(ErrorCode::CouldntOpenFile);
    }
    const auto length = static_cast<std::uint64_t>(std::max<std::int64_t>(file.GetLength(), 0));
    std::vector<std::uint8_t> bytes(std::min<std::uint64_t>(length, kMaxTimBytes));
    bytes.resize(file.Read(bytes.data(), bytes.size()));
    return bytes;
}

Error LoadFromBytes(const std::vector<std::uint8_t>& bytes, const std::string& path,
                    ImageState& state) {
    File memory;
    if (!memory.OpenMemory(bytes.data(), bytes.size(), path)) {
        return Error(ErrorCode::NotEnoughMemory);
    }
    return LoadTim(state, memory);
}

int RunThumbnail(const ThumbnailArgs& args) {
    if (args.size < 1 || args.size > kMaxSize) {
        throw UsageError("--size must be from 1 to " + std::to_string(kMaxSize) + ", not " +
                         std::to_string(args.size));
    }
    const Result<std::vector<std::uint8_t>> bytes = ReadHead(args.in);
    if (!bytes) {
        ReportFailure(bytes.error());
        return kExitFailure;
    }
    if (ClaimsTooMuch(*bytes)) {
        std::cerr << "too large for a thumbnail: a block holds more than the PlayStation's "
                     "video memory (1 MiB)\n"
                  << args.in << '\n';
        return kExitFailure;
    }
    ImageState state;
    if (Error error = LoadFromBytes(*bytes, args.in, state)) {
        ReportFailure(error);
        return kExitFailure;
    }
    // As the window shows it with the first CLUT set, colour word 0 left
    // transparent.
    ViewOptions view;
    view.transparency = true;
    const std::optional<MemorySurface> surface = PaintForPng(state, view);
    if (!surface) {
        return kExitFailure;
    }
    state.ReleaseBuffers();
    const ScaledPicture thumbnail = ScaleToFit(surface->Pixels(), surface->Width(),
                                               surface->Height(), static_cast<int>(args.size));
    return WritePngFile(args.out, thumbnail.width, thumbnail.height, thumbnail.pixels);
}

}  // namespace

Runner DefineThumbnail(CLI::App& command) {
    auto args = std::make_shared<ThumbnailArgs>();
    AddArgument(command, "FILE", args->in, "a TIM");
    AddArgument(command, "OUT", args->out, "the PNG to write");
    AddNumberOption(command, "--size", args->size,
                    "the thumbnail's longer side at most, in pixels (1 to 1024)")
        ->required();
    return [args] { return RunThumbnail(*args); };
}

}  // namespace pixalto::cli
