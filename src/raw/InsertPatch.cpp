#include "raw/InsertPatch.h"

#include <algorithm>
#include <cctype>

#include "disc/PatchFile.h"
#include "platform/File.h"
#include "platform/FileReplace.h"
#include "raw/FileIdentity.h"

namespace pixalto::raw {
namespace {

bool EndsWithNoCase(std::string_view text, std::string_view end) {
    return text.size() >= end.size() &&
           std::equal(end.begin(), end.end(), text.end() - static_cast<std::ptrdiff_t>(end.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

}  // namespace

std::optional<PatchFormat> PatchFormatOf(std::string_view path) {
    if (EndsWithNoCase(path, ".ppf")) {
        return PatchFormat::Ppf;
    }
    if (EndsWithNoCase(path, ".ips")) {
        return PatchFormat::Ips;
    }
    return std::nullopt;
}

Result<std::uint64_t> WriteInsertPatch(const std::string& rawPath, const std::string& listPath,
                                       const disc::PendingWrites& pending,
                                       const std::string& patchPath, PatchFormat format) {
    File original;
    if (!original.Open(rawPath, File::Mode::ReadRaw)) {
        return original.LastError().As(ErrorCode::CouldntOpenFile);
    }
    auto changes = disc::ChangesOf(pending, original);
    if (!changes) {
        return changes.error();
    }
    std::uint64_t changedBytes = 0;
    for (const disc::PatchChange& change : *changes) {
        changedBytes += change.after.size();
    }
    const std::string listName = listPath.substr(listPath.find_last_of('/') + 1);
    auto bytes =
        format == PatchFormat::Ips
            ? disc::MakeIps(*changes, original)
            : Result(disc::MakePpf(*changes, "Made by Pixalto from " + listName, original));
    if (!bytes) {
        return bytes.error();
    }
    const auto target = IdentityOf(patchPath);
    if (target && target == IdentityOf(rawPath)) {
        return Error(ErrorCode::OutputIsRawFile, patchPath);
    }
    PendingFile out(patchPath);
    if (!out.Create() || !out.file().Write(bytes->data(), bytes->size()) || !out.Finish() ||
        !out.Commit()) {
        return out.LastError().As(ErrorCode::CouldntCreateFile).About(patchPath);
    }
    return changedBytes;
}

}  // namespace pixalto::raw
