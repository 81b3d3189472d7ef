#include "image/LoadImage.h"

#include "image/BmpReader.h"

namespace pixalto {

Error LoadImage(ImageState& state, File& file, bool isTim) {
    return isTim ? LoadTim(state, file) : LoadBmp(state, file);
}

}  // namespace pixalto
