#pragma once
// The texts the image readers return; the caller shows them in a message box.

namespace pixalto::msg {

inline constexpr const char* kTimHeaderNotFound = "TIM Header not found!";
inline constexpr const char* kInvalidTimHeader = "Invalid TIM Header!";
inline constexpr const char* kImageBeyond1Gig = "Image size is beyond 1 GIG!";
inline constexpr const char* kFileTooSmall = "File size is too small for the data needed for the image.";
inline constexpr const char* kNotEnoughMemory = "Not enough memory to handle image!";

}  // namespace pixalto::msg
