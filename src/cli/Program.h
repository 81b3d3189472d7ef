#pragma once
// The whole of pixalto-cli behind main: parses the command line with CLI11,
// prints help and usage errors the same way for every sub-command, and runs
// the sub-command chosen. Returns the exit code (0, 1 or 2).

namespace pixalto::cli {

int RunProgram(int argc, char** argv);

}  // namespace pixalto::cli
