#pragma once
// Failure messages on stderr. The first line is always the program's own
// text; under a failure of a file operation (a file couldn't be opened,
// created, written or inserted) a second line tells which file and the
// system's reason: "out/x.bmp: No space left on device".

#include <iostream>

#include "platform/Error.h"

namespace pixalto::cli {

// Prints the error's text from the catalogue, and the system's reason under
// it when the error is about a file and the system gave one.
void ReportFailure(const Error& error, std::ostream& err = std::cerr);

}  // namespace pixalto::cli
