#pragma once
// Conversion between the TIM side and the BMP side of ImageState, in memory.
// Pixels are carried losslessly in every depth, and so is every CLUT set but
// the palette set, which travels in the BMP palette at 8 bits a channel and
// comes back without its STP bits.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "image/ImageState.h"
#include "image/Sidecar.h"
#include "platform/Error.h"

namespace pixalto {

// The four frame-buffer origins a BMP can't carry, as the user typed them; the
// conversion keeps the low 16 bits of each.
struct Origins {
    std::uint32_t imageOrgX = 0;
    std::uint32_t imageOrgY = 0;
    std::uint32_t clutOrgX = 0;
    std::uint32_t clutOrgY = 0;
};

// Asked for the origins when a BMP has no usable sidecar. The window answers
// with its extra-fields dialog, the command line tool from its options.
class OriginsRequest {
  public:
    virtual ~OriginsRequest() = default;
    // hasClut says whether the CLUT origin is wanted. Returning nothing means
    // the asker was closed without Continue; the user can't leave the
    // question that way, so it is asked again until it is answered.
    virtual std::optional<Origins> AskOrigins(bool hasClut) = 0;
    // After an answer: why it is no real answer (none when it is one). A
    // command line without the origin options answers this way, and the
    // conversion then fails with it instead of making up origins.
    virtual Error Unanswered() const { return {}; }
};

// The origins asked of request (until it answers) as sidecar content with
// one CLUT set when hasClut; unanswered is then why they are no real answer.
SidecarContent AskForOrigins(OriginsRequest& request, bool hasClut, Error& unanswered);

// What a TIM of state carries beside its pixels when set currentSet is the one
// shown: its origins and, for 4- and 8-bit images, every CLUT set (at least
// enough to reach currentSet), currentSet being the palette set.
SidecarContent SidecarContentFor(const ImageState& state, std::uint32_t currentSet);

// The new buffers of a TIM made from another format.
struct TimParts {
    std::uint32_t bpp = 0;
    SidecarContent content;  // origins and the number of CLUT sets
    std::vector<std::uint8_t> clut;
    PixelBytes pixels;  // unitsWide x 2 x rows bytes and one spare byte
    std::uint16_t unitsWide = 0;
    std::uint16_t rows = 0;
};
// Makes parts the TIM side of state: header, both blocks and derived values.
void AdoptTimParts(ImageState& state, TimParts parts);

// TIM to BMP: builds the BMP headers, the palette from CLUT set currentSet,
// the pixel rows (padded to 4 bytes, as every bitmap reader expects) and the
// sidecar content. The TIM side must be loaded.
Error ConvertTimToBmp(ImageState& state, std::uint32_t currentSet);

// BMP to TIM: builds the TIM header and blocks from a BMP just read by
// LoadImage, with the origins and the other CLUT sets from its sidecar, or,
// when the sidecar is not usable, with origins from request.
Error ConvertBmpToTim(ImageState& state, OriginsRequest& request);

// Either direction. Returns the failure, or none on success.
// Neither direction releases the buffers of the side it converted from.
Error ConvertImage(ImageState& state, bool toBmp, std::uint32_t currentSet,
                   OriginsRequest& request);

}  // namespace pixalto
