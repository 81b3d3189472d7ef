#include "cli/Commands.h"

#include <array>

namespace pixalto::cli {

namespace {

constexpr std::array kCommands = {
    Command{"info", "FILE [--offset N]", "print the header values of a TIM",
            "Loads the TIM that starts at byte N of FILE (default 0) and prints its\n"
            "depth, sizes, number of CLUT sets and frame-buffer origins.\n",
            RunInfo},
    Command{"render", "FILE OUT.png [--offset N] [--set K] [--transparency] [--split]",
            "paint a TIM into a PNG as the window shows it",
            "Paints the TIM at byte N of FILE with CLUT set K (default 0) and the\n"
            "given view options, and writes the painted rows as an RGBA PNG: painted\n"
            "pixels opaque, pixels left undrawn fully transparent.\n",
            RunRender},
};

}  // namespace

std::span<const Command> AllCommands() { return kCommands; }

}  // namespace pixalto::cli
