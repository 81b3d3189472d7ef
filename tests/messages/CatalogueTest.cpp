#include <gtest/gtest.h>

#include <cerrno>

#include "messages/Catalogue.h"

namespace pixalto {
namespace {

Error With(ErrorCode code, void (*fill)(Error&)) {
    Error error(code);
    fill(error);
    return error;
}

// Every failure's words as the window and the command line show them, with
// the numbers, paths and layouts put where the text wants them.
TEST(Catalogue, EachFailureHasItsExactText) {
    using enum ErrorCode;
    const struct {
        Error error;
        const char* text;
    } cases[] = {
        {Error(), ""},
        {Error(CouldntOpenFile, "a.tim", ENOENT), "Couldn't open file!"},
        {Error(CouldntCreateFile, "out/7.tim"), "Couldn't create file out/7.tim!"},
        {Error(CouldntCreateFile, "raw.bin", EIO).About("out/7.tim"),
         "Couldn't create file out/7.tim!"},
        {Error(OutputIsRawFile, "d/1.tim"),
         "Couldn't create file d/1.tim!\nd/1.tim is the RAW file itself."},
        {Error(FailedSavingTim), "Failed on saving TIM File!"},
        {Error(FailedSavingBmp), "Failed on saving BMP File!"},
        {Error(TimHeaderNotFound), "TIM Header not found!"},
        {Error(InvalidTimHeader), "Invalid TIM Header!"},
        {Error(ImageBeyond1Gig), "Image size is beyond 1 GIG!"},
        {Error(FileTooSmall), "File size is too small for the data needed for the image."},
        {Error(NotEnoughMemory), "Not enough memory to handle image!"},
        {Error(BmpHeaderNotFound), "BMP Header not found!"},
        {Error(CompressionNotSupported), "Can't handle this Compression type."},
        {Error(BadBiSize), "Bad biSize"},
        {Error(BppNotSupported), "BPP Mode not supported!"},
        {Error(TooLargeForTim), "Image is too wide or too high for a TIM!"},
        {With(OriginsMissing,
              [](Error& e) { e.path = "f.bmp", e.detail = "--origin X,Y and --clut-origin X,Y"; }),
         "f.bmp has no usable sidecar file: give the origins with --origin X,Y and --clut-origin "
         "X,Y"},
        {Error(NoFilesFound), "No Files were found!"},
        {Error(NoFilesFound, "gone/", ENOENT),
         "No Files were found!\ngone/: No such file or directory"},
        {Error(InvalidSelection), "Invalid Text entered into Input Stream"},
        {Error(NoRecords), "No TIM records found in the extraction list."},
        {Error(CouldntOpenForInsertion, "d/RAW.BIN"), "Couldn't open d/RAW.BIN for insertion."},
        {Error(CouldntOpenTim).WithNumber(-3), "Couldn't open TIM #-3 for insertion."},
        {Error(CouldntInsertTim).WithNumber(2), "Couldn't insert TIM #2."},
        {Error(CouldntInsertTim)
             .WithNumber(2)
             .Because(Error(OffsetPastEnd).WithOffset(18446744073709551615u)),
         "Couldn't insert TIM #2.\nOffset 18446744073709551615 is past the end of the file."},
        {Error(OffsetNotInData).WithOffset(2352), "Offset 2352 is not in the sectors' data."},
        {With(
             SectorAlreadyDamaged,
             [](Error& e) { e.number = 3, e.offset = 7056, e.damage = kEdcDamaged | kEccDamaged; }),
         "Sector 3 at byte 7056 is already damaged: its EDC and ECC don't match its bytes."},
        {With(SectorAlreadyDamaged, [](Error& e) { e.damage = kEdcDamaged; }),
         "Sector 0 at byte 0 is already damaged: its EDC doesn't match its bytes."},
        {With(SectorAlreadyDamaged, [](Error& e) { e.damage = kEccDamaged; }),
         "Sector 0 at byte 0 is already damaged: its ECC doesn't match its bytes."},
        {With(UnknownLayout, [](Error& e) { e.detail = "MODE9"; }),
         "The extraction list names a layout this program doesn't know: MODE9."},
        {With(LayoutMismatch,
              [](Error& e) { e.detail = "MODE2/2352", e.path = "d.bin", e.other = "plain"; }),
         "The extraction list was written for a MODE2/2352 disc image, but d.bin is not one. "
         "Nothing was inserted."},
        {With(LayoutMismatch,
              [](Error& e) { e.detail = "plain", e.path = "d.bin", e.other = "MODE2/2352"; }),
         "The extraction list was written for a plain file, but d.bin is a MODE2/2352 disc image. "
         "Nothing was inserted."},
        {With(LayoutMismatch,
              [](Error& e) { e.detail = "MODE2/2352", e.path = "d.bin", e.other = "MODE1/2352"; }),
         "The extraction list was written for a MODE2/2352 disc image, but d.bin is a MODE1/2352 "
         "one. Nothing was inserted."},
        {With(NoLayoutForDisc, [](Error& e) { e.path = "d.bin", e.other = "MODE1/2352"; }),
         "The extraction list names no layout, but d.bin is a MODE1/2352 disc image. Nothing was "
         "inserted."},
        {With(TwoLayouts, [](Error& e) { e.detail = "plain", e.other = "MODE2/2352"; }),
         "The extraction list can't be read: it names two layouts, plain and MODE2/2352. Nothing "
         "was inserted."},
        {Error(InvalidRecord).WithNumber(4), "Record 4 of the extraction list can't be read."},
        {Error(OutOfMemory), "Not enough memory to finish the command."},
        {Error(CouldntWriteFile, "out.png"), "Couldn't write out.png"},
        {Error(CouldntReadToEnd, "disc.bin"), "Couldn't read disc.bin to its end."},
        {Error(NotARawCdImage, "x.bin"), "x.bin is not a raw CD image"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(msg::Text(c.error), c.text) << static_cast<int>(c.error.code);
    }
}

TEST(Catalogue, TheScansProgressCountsMegabytesAndPercent) {
    constexpr std::uint64_t kMiB = 1 << 20;
    const struct {
        std::uint64_t position, length;
        const char* text;
    } cases[] = {
        {0, 0, "0.0 of 0.0 MB (100%)"},
        {kMiB * 3 / 2, 700 * kMiB, "1.5 of 700.0 MB (0%)"},
        {350 * kMiB - 1, 700 * kMiB, "349.9 of 700.0 MB (49%)"},
        {69'991, 70'000, "0.0 of 0.0 MB (99%)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(msg::ScanProgress(c.position, c.length), c.text) << c.position;
    }
    EXPECT_EQ(msg::ScanCancelled(3), "Scan cancelled. Images Found: 3");
}

// The system's reason: errno's text, or the file layer's own words for a
// kind of file errno has none for; nothing when the system wasn't asked.
TEST(Catalogue, SystemReasonNamesTheFileTheSystemFailedOn) {
    using enum ErrorCode;
    const struct {
        Error error;
        const char* reason;
        bool aboutAFile;
    } cases[] = {
        {Error(CouldntOpenFile, "a.tim", ENOENT), "a.tim: No such file or directory", true},
        {Error(CouldntOpenFile, "/dev/null", ENOTSUP, "not a regular file"),
         "/dev/null: not a regular file", true},
        {Error(CouldntCreateFile, "raw.bin", EIO).About("out/7.tim"), "raw.bin: Input/output error",
         true},
        {Error(FailedSavingBmp, "x.bmp", ENOSPC), "x.bmp: No space left on device", true},
        {Error(CouldntInsertTim), "", true},
        {Error(CouldntReadToEnd, "d.bin", EIO), "d.bin: Input/output error", true},
        {Error(InvalidRecord, "list.txt", EIO), "list.txt: Input/output error", false},
        {Error(TimHeaderNotFound), "", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(msg::SystemReason(c.error), c.reason) << msg::Text(c.error);
        EXPECT_EQ(msg::IsAboutAFile(c.error.code), c.aboutAFile) << msg::Text(c.error);
    }
}

}  // namespace
}  // namespace pixalto
