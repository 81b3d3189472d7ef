#pragma once
// An insertion shipped as a patch: the bytes an InsertJob kept instead of
// writing them (InsertOptions::divert), written out as a .ppf or .ips file
// while the RAW file stays as it was. The command line tool and the window
// both make their patches here, so a patch is the same from either.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "disc/PendingWrites.h"
#include "platform/Error.h"

namespace pixalto::raw {

enum class PatchFormat { Ppf, Ips };

// The format a patch file's name asks for by its extension, ".ppf" or ".ips"
// in any case; nothing for any other name.
std::optional<PatchFormat> PatchFormatOf(std::string_view path);

// Writes the patch of pending, the insertion by the list at listPath into
// rawPath, to patchPath (replaced whole or not at all), described as "Made
// by Pixalto from " and the list's file name. Returns how many of the
// image's bytes the patch changes, or why no patch was written: the image
// couldn't be read, an IPS patch would reach past 16 MiB (IpsPastLimit),
// patchPath is the image itself, or the patch couldn't be created.
Result<std::uint64_t> WriteInsertPatch(const std::string& rawPath, const std::string& listPath,
                                       const disc::PendingWrites& pending,
                                       const std::string& patchPath, PatchFormat format);

}  // namespace pixalto::raw
