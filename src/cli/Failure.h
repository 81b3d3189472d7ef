#pragma once
// Failure messages on stderr. The first line is always the program's own
// text; under a message about a file (it couldn't be opened, created, written
// or inserted) a second line tells which file and the system's reason, as the
// file layer recorded it: "out/x.bmp: No space left on device".

#include <iostream>
#include <string>

namespace pixalto::cli {

// True for the texts that report a file operation failing: they all start
// with "Couldn't " or "Failed on saving ".
bool IsAboutAFile(const std::string& message);

// Prints message, and the last file failure under it when the message is
// about a file and a failure was recorded since the last ClearFileFailure.
void ReportFailure(const std::string& message, std::ostream& err = std::cerr);

}  // namespace pixalto::cli
