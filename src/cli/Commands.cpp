#include "cli/Commands.h"

#include <array>

namespace pixalto::cli {

namespace {

constexpr std::array kCommands = {
    Command{"info", "FILE [--offset N] [--origin X,Y] [--clut-origin X,Y]",
            "print the header values of a TIM (or of the TIM a BMP becomes)",
            "Loads the TIM that starts at byte N of FILE (default 0) and prints its\n"
            "depth, sizes, number of CLUT sets and frame-buffer origins. A FILE named\n"
            "*.bmp is read as a BMP with its sidecar file and converted to TIM first;\n"
            "without a usable sidecar, --origin and --clut-origin give the origins.\n",
            RunInfo},
    Command{"render", "FILE OUT.png [--offset N] [--set K] [--transparency] [--split]",
            "paint a TIM into a PNG as the window shows it",
            "Paints the TIM at byte N of FILE with CLUT set K (default 0) and the\n"
            "given view options, and writes the painted rows as an RGBA PNG: painted\n"
            "pixels opaque, pixels left undrawn fully transparent.\n",
            RunRender},
    Command{"to-bmp", "FILE [OUT] [--offset N] [--set K]",
            "convert a TIM to a BMP and its sidecar file",
            "Loads the TIM at byte N of FILE and writes it as the BMP OUT (default: FILE\n"
            "with the extension .bmp), with CLUT set K (default 0) as its palette, and\n"
            "beside it the sidecar file (OUT's name with the extension .tmext) that\n"
            "keeps the origins and the other CLUT sets. Prints the paths written.\n",
            RunToBmp},
    Command{"to-tim", "FILE [OUT] [--origin X,Y] [--clut-origin X,Y]",
            "convert a BMP (and its sidecar) to a TIM",
            "Loads the BMP FILE with the sidecar file beside it and writes it as the TIM\n"
            "OUT (default: FILE with the extension .tim). When there is no usable\n"
            "sidecar, --origin gives the image's frame-buffer origin and, for 4- and\n"
            "8-bit images, --clut-origin the CLUT's (the low 16 bits of each are kept);\n"
            "otherwise they are ignored. Prints the path written.\n",
            RunToTim},
    Command{"scan", "RAW", "list the TIMs embedded in a RAW file",
            "Tests every offset of RAW for a TIM and prints one line per TIM found:\n"
            "file number, position, width and height (in 16-bit units), tab-separated,\n"
            "after a header line. On a terminal a progress bar is drawn on stderr.\n",
            RunScan},
    Command{"extract", "RAW SELECTION", "extract chosen TIMs of a RAW file",
            "Scans RAW, then writes the TIMs chosen by SELECTION (file numbers such as\n"
            "1,2-3,5-) as <number>.tim beside RAW, with the extraction list\n"
            "timextracts.txt that insert reads.\n",
            RunExtract},
    Command{"insert", "LIST [--yes | --no]", "write extracted TIMs back into their RAW file",
            "Writes every .tim file named by the extraction list LIST back into the RAW\n"
            "file it names, at its recorded position. A file whose size changed is\n"
            "written only on Yes: --yes and --no answer every such question; without\n"
            "them it is asked on the terminal, and answered No when standard input is\n"
            "not a terminal.\n",
            RunInsert},
};

}  // namespace

std::span<const Command> AllCommands() {
    return kCommands;
}

}  // namespace pixalto::cli
