#pragma once
// Converting every TIM of a folder to PNG, or every PNG to TIM, as the
// window's Convert menu and `pixalto-cli convert-folder` do for BMPs: one
// message for each file that fails, and the batch goes on after it.

#include <string>
#include <vector>

#include "image/FolderConvert.h"

namespace pixalto {

// Converts each of names (in folder) beside it: TIMs to PNGs with CLUT set 0
// as palette, and their sidecars (toPng); PNGs to TIMs at the depth their
// record or pixels give, with origins from the record or else from origins.
// Messages, closing text and state's use are as ConvertFolder's.
FolderConversionResult ConvertFolderPng(const std::string& folder,
                                        const std::vector<std::string>& names, bool toPng,
                                        ImageState& state, OriginsRequest& origins,
                                        MessageSink& messages);

}  // namespace pixalto
