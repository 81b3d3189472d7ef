#pragma once
// The last thing that went wrong with a file, kept beside the program's own
// messages: readers and writers report failure with the program's fixed texts
// (or a plain false), and a front end that can say more (the command line
// tool's second line, "path: No space left on device") asks here. One record
// per thread; every failing file operation overwrites it.

#include <string>

namespace pixalto {

struct FileFailure {
    std::string path;    // the file the operation was about
    int error = 0;       // the system's errno; 0 when nothing has failed
    std::string reason;  // said instead of errno's text when errno has no fitting one
};

// The most recent failure on this thread ({"", 0} when none since the last clear).
const FileFailure& LastFileFailure();
void ClearFileFailure();
// Called by the file layer when an operation fails.
void NoteFileFailure(const std::string& path, int error, std::string reason = {});

// "path: reason" for the last failure, or "" when there is none.
std::string DescribeLastFileFailure();

}  // namespace pixalto
