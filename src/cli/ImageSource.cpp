#include "cli/ImageSource.h"

#include <algorithm>

#include "cli/Arguments.h"
#include "image/Convert.h"
#include "image/LoadImage.h"
#include "image/Png.h"
#include "image/Sidecar.h"
#include "platform/File.h"
#include "raw/RawImage.h"

namespace pixalto::cli {
namespace {

Error OpenAt(const std::string& path, std::uint64_t offset, File& file) {
    if (!file.Open(path, File::Mode::Read)) {
        return file.LastError().As(ErrorCode::CouldntOpenFile);
    }
    // Named as a TIM's offset is; an empty file read from its start is the
    // reader's to judge.
    const auto length = static_cast<std::uint64_t>(std::max<std::int64_t>(file.GetLength(), 0));
    if (offset > 0 && offset >= length) {
        return Error(ErrorCode::OffsetPastEnd).WithOffset(offset);
    }
    if (!file.Seek(static_cast<std::int64_t>(offset))) {
        return Error(ErrorCode::CouldntOpenFile, path);
    }
    return {};
}

}  // namespace

std::optional<Origins> OptionOrigins::AskOrigins(bool hasClut) {
    missing_.clear();
    Origins origins;
    if (options_.image) {
        origins.imageOrgX = options_.image->first;
        origins.imageOrgY = options_.image->second;
    } else {
        missing_.push_back("--origin X,Y");
    }
    if (options_.clut) {
        origins.clutOrgX = options_.clut->first;
        origins.clutOrgY = options_.clut->second;
    } else if (hasClut) {
        missing_.push_back("--clut-origin X,Y");
    }
    // An answer even when something is missing: Unanswered then makes the
    // conversion fail with the message naming it.
    return origins;
}

Error OptionOrigins::Unanswered() const {
    if (missing_.empty()) {
        return {};
    }
    Error error(ErrorCode::OriginsMissing, path_);
    error.detail = missing_[0];
    for (std::size_t i = 1; i < missing_.size(); ++i) {
        error.detail += " and " + missing_[i];
    }
    return error;
}

Error LoadImageFromPath(const std::string& path, std::uint64_t offset, ImageState& state,
                        raw::LayoutChoice layout) {
    return raw::LoadTimAt(path, offset, layout, state);
}

void AddOriginOptions(CLI::App& command, OriginOptions& options) {
    AddPointOption(command, "--origin", options.image,
                   "the image's frame-buffer origin, when the BMP has no usable sidecar");
    AddPointOption(command, "--clut-origin", options.clut,
                   "the CLUT's frame-buffer origin, when the BMP has no usable sidecar");
}

bool IsBmpPath(const std::string& path) {
    return HasExtension(path, ".bmp");
}

Error LoadBmpFromPath(const std::string& path, std::uint64_t offset, ImageState& state,
                      const OriginOptions& options) {
    File file;
    if (Error error = OpenAt(path, offset, file)) {
        return error;
    }
    state.ReleaseBuffers();
    if (Error error = LoadImage(state, file, /*isTim=*/false)) {
        return error;
    }
    OptionOrigins request(options);
    request.SetPath(path);
    Error error = ConvertBmpToTim(state, request);
    state.ReleaseBmpSide();
    if (error) {
        state.ReleaseBuffers();
    }
    return error;
}

bool IsPngPath(const std::string& path) {
    return pixalto::IsPngPath(path);
}

Error LoadPngFromPath(const std::string& path, ImageState& state, const OriginOptions& options,
                      std::uint32_t depth) {
    OptionOrigins request(options);
    request.SetPath(path);
    state.ReleaseBuffers();
    Error error = LoadPngFile(state, path, depth, request);
    if (error) {
        state.ReleaseBuffers();
    }
    return error;
}

Error LoadAnyImage(const std::string& path, std::uint64_t offset, ImageState& state,
                   const OriginOptions& options, raw::LayoutChoice layout) {
    if (IsPngPath(path)) {
        return LoadPngFromPath(path, state, options, kPngDepthAuto);
    }
    return IsBmpPath(path) ? LoadBmpFromPath(path, offset, state, options)
                           : LoadImageFromPath(path, offset, state, layout);
}

void AddDepthOption(CLI::App& command, std::uint32_t& depth) {
    command
        .add_option_function<std::string>(
            "--bpp",
            [&depth](const std::string& text) {
                const auto value = ParseUnsigned(text);
                if (!value || (*value != 4 && *value != 8 && *value != 16 && *value != 24)) {
                    throw CLI::ValidationError("--bpp",
                                               "must be 4, 8, 16 or 24, not '" + text + "'");
                }
                depth = static_cast<std::uint32_t>(*value);
            },
            "the depth a PNG becomes (default: as its chunk or sidecar says, else 4 or 8 bits "
            "for an indexed PNG by its indices, 16 for a truecolour one, which 4 or 8 quantises)")
        ->type_name("4|8|16|24");
}

std::uint32_t CheckedClutSet(const ImageState& state, std::uint64_t set) {
    if (set != 0 && set >= state.ClutSetCount()) {
        throw UsageError("--set " + std::to_string(set) + " is out of range: the image has " +
                         std::to_string(state.ClutSetCount()) + " CLUT set(s)");
    }
    return static_cast<std::uint32_t>(set);
}

std::string WithExtension(const std::string& path, const std::string& extension) {
    return FolderOf(path) + FileTitleOf(path) + extension;
}

}  // namespace pixalto::cli
