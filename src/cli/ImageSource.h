#pragma once
// Opening a file and loading the image in it, as the window's open command
// does, for every sub-command that starts from an image: a TIM at an offset,
// or a BMP with its sidecar, converted to TIM at once.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "image/Convert.h"
#include "image/ImageState.h"
#include "raw/RawData.h"

namespace CLI {
class App;
}

namespace pixalto::cli {

// Loads the TIM at byte offset of path into state. Returns the failure the
// window would show, or none on success.
// In a raw CD image (as layout says) offset is a position in the file, as the
// scan lists it, and the TIM is read from the sectors' data. An offset that
// holds no byte of the data (past the end, or a sector's sync, header or
// codes) is named in the message.
Error LoadImageFromPath(const std::string& path, std::uint64_t offset, ImageState& state,
                        raw::LayoutChoice layout = raw::LayoutChoice::Auto);

// What the window asks for with its extra-fields dialog when a BMP has no
// usable sidecar: --origin X,Y for the image, --clut-origin X,Y for the CLUT.
struct OriginOptions {
    std::optional<std::pair<std::uint32_t, std::uint32_t>> image;
    std::optional<std::pair<std::uint32_t, std::uint32_t>> clut;
};
// Declares --origin and --clut-origin on a sub-command.
void AddOriginOptions(CLI::App& command, OriginOptions& options);

// Answers the request for origins from the options. When one that is needed
// was not given, the conversion fails with a message that names the BMP (the
// path last set) and the missing options, instead of guessing origins.
class OptionOrigins : public OriginsRequest {
  public:
    explicit OptionOrigins(const OriginOptions& options) : options_(options) {}
    void SetPath(const std::string& path) { path_ = path; }

    std::optional<Origins> AskOrigins(bool hasClut) override;
    Error Unanswered() const override;

  private:
    const OriginOptions& options_;
    std::string path_;
    std::vector<std::string> missing_;
};

// True when path ends in ".bmp", in any case.
bool IsBmpPath(const std::string& path);

// True when path ends in ".png", in any case.
bool IsPngPath(const std::string& path);

// Loads the PNG at path with the record of its chunk or sidecar and converts
// it to the TIM side of state, at depth (0: as the record or the pixels say).
// Without a record the origins come from options, as for a BMP.
Error LoadPngFromPath(const std::string& path, ImageState& state, const OriginOptions& options,
                      std::uint32_t depth);

// The image a sub-command starts from: a *.png or *.bmp converted to TIM, or
// the TIM at byte offset of any other file.
Error LoadAnyImage(const std::string& path, std::uint64_t offset, ImageState& state,
                   const OriginOptions& options,
                   raw::LayoutChoice layout = raw::LayoutChoice::Auto);

// "--bpp 4|8|16|24": the depth a PNG becomes (a truecolour one is quantised
// to 4 or 8 bits).
void AddDepthOption(CLI::App& command, std::uint32_t& depth);

// Loads the BMP at byte offset of path with its sidecar and converts it to the
// TIM side of state, as opening a BMP in the window does; the BMP side is
// released afterwards. Without a usable sidecar the origins come from options;
// a missing one fails with a message that names it.
Error LoadBmpFromPath(const std::string& path, std::uint64_t offset, ImageState& state,
                      const OriginOptions& options);

// The CLUT set a sub-command draws or converts with: set 0 is always
// accepted, as the window starts every image on it; others must exist.
// Throws UsageError otherwise.
std::uint32_t CheckedClutSet(const ImageState& state, std::uint64_t set);

// path with its extension (if any) replaced by extension, e.g. ".bmp".
std::string WithExtension(const std::string& path, const std::string& extension);

}  // namespace pixalto::cli
