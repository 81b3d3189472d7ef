#pragma once
// The texts the image readers and the conversion return; the caller shows them in a message box.

namespace pixalto::msg {

inline constexpr const char* kTimHeaderNotFound = "TIM Header not found!";
inline constexpr const char* kInvalidTimHeader = "Invalid TIM Header!";
inline constexpr const char* kImageBeyond1Gig = "Image size is beyond 1 GIG!";
inline constexpr const char* kFileTooSmall =
    "File size is too small for the data needed for the image.";
inline constexpr const char* kNotEnoughMemory = "Not enough memory to handle image!";

// The BMP reader's texts.
inline constexpr const char* kBmpHeaderNotFound = "BMP Header not found!";
inline constexpr const char* kCompressionNotSupported = "Can't handle this Compression type.";

// The conversion's texts.
inline constexpr const char* kBadBiSize = "Bad biSize";
inline constexpr const char* kBppNotSupported = "BPP Mode not supported!";
// A BMP wider or higher than a TIM's 16-bit width and height can record.
inline constexpr const char* kTooLargeForTim = "Image is too wide or too high for a TIM!";

}  // namespace pixalto::msg
