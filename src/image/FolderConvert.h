#pragma once
// Converting every TIM (or every BMP) of a folder, as the window's Convert
// menu and `pixalto-cli convert-folder` do: one file after the other, one
// message for each file that fails, and the batch goes on after it.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "image/Convert.h"
#include "image/ImageState.h"
#include "platform/Error.h"

namespace pixalto {

// Where a folder conversion's messages go: a message box each in the window,
// lines on the command line.
class MessageSink {
  public:
    virtual ~MessageSink() = default;
    virtual void Show(const std::string& text, const std::string& title) = 0;
    // The closing message, shown like the others unless the sink says otherwise.
    virtual void Finished(const std::string& text, const std::string& title) { Show(text, title); }
    // Told the path of each file before it is converted.
    virtual void Converting(const std::string& /*path*/) {}
    // Told how many of the batch's files are done (converted or failed, their
    // messages shown) as that number grows; the last call has done == total.
    virtual void Progress(std::size_t /*done*/, std::size_t /*total*/) {}
};

struct ImageFileSearch {
    std::vector<std::string> names;
    Error failure;  // NoFilesFound with the folder and errno when it couldn't be read
};

// The names (not paths) of the files in folder whose name ends in ".tim"
// (wantTim) or ".bmp", in any case, sorted by name so that every run handles
// them in the same order. Folders are left out; anything else is listed, and
// what can't be read as a file is reported when it is converted.
ImageFileSearch FindImageFiles(const std::string& folder, bool wantTim);
// The same for any extension (".png").
ImageFileSearch FindFilesEndingIn(const std::string& folder, std::string_view extension);

// What to say when a search found nothing: "No Files were found!", with the
// system's reason under it when the folder couldn't be read.
std::string NoFilesFoundText(const ImageFileSearch& search);

// folder with one path separator at its end, whether it had one or not.
std::string FolderWithSeparator(const std::string& folder);

// The output name: the last three characters of name replaced by "bmp" or
// "tim" (face.tim gives face.bmp, b.TIM gives b.bmp).
std::string ConvertedName(const std::string& name, bool toBmp);

struct FolderConversionResult {
    std::size_t converted = 0;
    std::size_t failed = 0;
};

// The message about a file of the batch that failed: the error's text, the
// input file's path on the next line (unless the text starts with it), and,
// when a file couldn't be opened or written, the system's reason as
// "path: reason" (standing in for the input line when it names the input).
std::string FailureText(const Error& error, const std::string& input);

// Converts each of names (in folder) to the other format beside it, replacing
// any file of the output name. TIMs become BMPs with CLUT set 0 as palette
// and the other sets in the sidecar; BMPs become TIMs, with origins from
// their sidecar or else from origins. Each failure is shown on messages with
// its title, naming the file (see FailureText), and the batch goes on. It
// ends with "File(s) converted!", or when files failed with how many of how
// many were converted (ConvertedText). state is the caller's image record,
// used as the work area and left empty; its buffers keep their memory from
// file to file.
FolderConversionResult ConvertFolder(const std::string& folder,
                                     const std::vector<std::string>& names, bool toBmp,
                                     ImageState& state, OriginsRequest& origins,
                                     MessageSink& messages);

}  // namespace pixalto
