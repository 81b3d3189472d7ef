#include "image/BmpReader.h"

namespace pixalto {

// Placeholder until the BMP reader lands: the BMP branch refuses every file.
std::string LoadBmp(ImageState& /*state*/, File& /*file*/) { return "BMP files are not supported yet."; }

}  // namespace pixalto
