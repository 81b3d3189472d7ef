#pragma once
// The image library's public face: what the shell and the command line tool
// call. Nothing here depends on a window system.

#include "image/BmpFormat.h"   // IWYU pragma: export
#include "image/Convert.h"     // IWYU pragma: export
#include "image/ImageState.h"  // IWYU pragma: export
#include "image/LoadImage.h"   // IWYU pragma: export
#include "image/Paint.h"       // IWYU pragma: export
#include "image/Palette.h"     // IWYU pragma: export
#include "image/Png.h"         // IWYU pragma: export
#include "image/PsxColor.h"    // IWYU pragma: export
#include "image/Sidecar.h"     // IWYU pragma: export
#include "image/TimFormat.h"   // IWYU pragma: export
#include "image/Writer.h"      // IWYU pragma: export
