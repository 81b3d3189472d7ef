#include "cli/Commands.h"

#include <array>

namespace pixalto::cli {

namespace {

constexpr std::array kCommands = {
    Command{"info", "print the header values of a TIM (or of the TIM a BMP becomes)",
            "Loads the TIM that starts at byte N of FILE (default 0) and prints its\n"
            "depth, sizes, number of CLUT sets and frame-buffer origins. A FILE named\n"
            "*.bmp is read as a BMP with its sidecar file and converted to TIM first;\n"
            "without a usable sidecar, --origin and --clut-origin give the origins.\n"
            "A block length that disagrees with the block's width and height is\n"
            "warned about on stderr (see repair).",
            DefineInfo},
    Command{"render", "paint a TIM into a PNG as the window shows it",
            "Paints the TIM at byte N of FILE with CLUT set K (default 0) and the\n"
            "given view options, and writes the painted rows as an RGBA PNG to OUT\n"
            "(standard output when OUT is -): painted pixels opaque, pixels left\n"
            "undrawn fully transparent.",
            DefineRender},
    Command{"thumbnail", "draw a TIM as a thumbnail PNG for the desktop",
            "Draws the TIM FILE with its first CLUT set, colour word 0 transparent,\n"
            "scaled to fit N x N pixels, and writes it as an RGBA PNG to OUT. An image\n"
            "smaller than that grows by a whole factor, each pixel a square block; a\n"
            "larger one shrinks, each thumbnail pixel the average of the area it\n"
            "covers. A TIM with a block larger than the PlayStation's video memory\n"
            "(1 MiB) is refused, so that any file is done quickly in little memory.",
            DefineThumbnail},
    Command{"to-bmp", "convert a TIM to a BMP and its sidecar file",
            "Loads the TIM at byte N of FILE and writes it as the BMP OUT (default: FILE\n"
            "with the extension .bmp), with CLUT set K (default 0) as its palette, and\n"
            "beside it the sidecar file (OUT's name with the extension .tmext) that\n"
            "keeps the origins and the other CLUT sets. OUT may not end in .tmext.\n"
            "Prints the paths written.",
            DefineToBmp},
    Command{"to-png", "convert a TIM to a PNG and its sidecar file, losslessly",
            "Loads the TIM at byte N of FILE and writes it as the PNG OUT (default: FILE\n"
            "with the extension .png): 4- and 8-bit images as indexed PNGs with CLUT set\n"
            "K (default 0) as their palette and the indices as they are, 16-bit as RGBA,\n"
            "24-bit as RGB. Colour word 0x0000 has alpha 0, a word with the STP bit\n"
            "alpha 128, any other 255. What a PNG can't hold (origins, the other CLUT\n"
            "sets, the exact words) goes into a private chunk and into the sidecar file\n"
            "beside it (OUT's name with the extension .tmext). --all-sets writes one PNG\n"
            "per CLUT set, OUT's name with _set1, _set2 ... Prints the paths written.",
            DefineToPng},
    Command{"to-tim", "convert a BMP or PNG (and its sidecar) to a TIM",
            "Loads the BMP or PNG FILE with the sidecar file beside it and writes it as\n"
            "the TIM OUT (default: FILE with the extension .tim). A PNG's chunk wins over\n"
            "its sidecar. When neither is usable, --origin gives the image's frame-buffer\n"
            "origin and, for 4- and 8-bit images, --clut-origin the CLUT's (the low 16\n"
            "bits of each are kept); otherwise they are ignored. An indexed PNG keeps its\n"
            "indices; --bpp 4 or 8 quantises a truecolour PNG to a palette. Prints the\n"
            "path written.",
            DefineToTim},
    Command{"export-palette", "write one CLUT set as a palette file",
            "Writes CLUT set K (default 0) of the TIM (or PNG or BMP) FILE as PALETTE, in\n"
            "the format its extension names: .gpl (GIMP), .pal (JASC), .act (Adobe, with\n"
            "the number of colours), .tim or .clt (a TIM holding only that CLUT row).\n"
            "Prints the path written.",
            DefineExportPalette},
    Command{"import-palette", "replace one CLUT set by a palette file's colours",
            "Replaces the colours of CLUT set K (default 0) of FILE with those of PALETTE\n"
            "(.gpl, .pal, .act, .tim or .clt) and writes the TIM OUT (default: FILE itself\n"
            "when it is a TIM, else FILE as .tim). Colours that didn't change keep their\n"
            "STP bits; changed ones take it from the palette's alpha where the format has\n"
            "one. A shorter palette replaces the first colours; a longer one is refused.\n"
            "Prints the path written.",
            DefineImportPalette},
    Command{"convert-folder", "convert every TIM (or BMP) of a folder",
            "Converts every file of DIR named *.tim (with --to bmp or --to png) or *.bmp\n"
            "(with --to tim; *.png with --to tim --from png), in any case, into the\n"
            "other format beside it, as the window's\n"
            "Convert menu does: TIMs become BMPs with CLUT set 0 as palette and their\n"
            "sidecar files; BMPs become TIMs. A BMP without a usable sidecar takes its\n"
            "origins from --origin and --clut-origin, and is reported and skipped\n"
            "without them. Each failure is printed on stderr with the file under it,\n"
            "and the batch goes on; \"File(s) converted!\" ends it. Exits 1 when any\n"
            "file failed or none was found.",
            DefineConvertFolder},
    Command{"repair", "mend a TIM's flag word and block lengths",
            "Clears junk in the bytes of FILE's flag word above the mode, and sets each\n"
            "block length to 12 + 2 x width x height of its block, so that the whole\n"
            "image loads. Writes the result to OUT (default: FILE itself, replaced\n"
            "safely) and prints each change, or prints \"nothing to repair\" and writes\n"
            "nothing. Exits 1 when FILE is not a TIM it can repair (no identifier, an\n"
            "unknown mode, data missing).",
            DefineRepair},
    Command{"scan", "list the TIMs embedded in a RAW file",
            "Tests every offset of RAW for a TIM and prints one line per TIM found:\n"
            "file number, position, width and height (in 16-bit units), tab-separated,\n"
            "after a header line. On a terminal a progress bar is drawn on stderr.",
            DefineScan},
    Command{"extract", "extract chosen TIMs of a RAW file",
            "Scans RAW, then writes the TIMs chosen by SELECTION (file numbers such as\n"
            "1,2-3,5-) as <number>.tim beside RAW, with the extraction list\n"
            "timextracts.txt that insert reads. Exits 1 when RAW holds no TIM.",
            DefineExtract},
    Command{"insert", "write extracted TIMs back into their RAW file",
            "Writes every .tim file named by the extraction list LIST back into the RAW\n"
            "file it names, at its recorded position. A file whose size changed is\n"
            "written only on Yes: --yes and --no answer every such question; without\n"
            "them it is asked on the terminal. Each file skipped is named on stderr.\n"
            "When standard input is not a terminal and neither flag is given, such\n"
            "files are skipped and the exit code is 1.",
            DefineInsert},
    Command{"check-disc", "check every sector of a raw CD image",
            "Reads the raw CD image IMAGE (2,352-byte sectors) from start to end, counts\n"
            "its sectors by kind and lists every sector whose EDC or ECC doesn't match\n"
            "its bytes, with its number and offset. Exits 1 when any sector is bad, so\n"
            "that an image can be checked before and after an insertion.",
            DefineCheckDisc},
};

}  // namespace

std::span<const Command> AllCommands() {
    return kCommands;
}

}  // namespace pixalto::cli
