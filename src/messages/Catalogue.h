#pragma once
// The program's words: every message, question, status line and title that
// the window and the command line tool show, written once. The libraries
// report failures as Error values; the front end turns them into text here
// and chooses the title for the context it shows them in.

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Error.h"

namespace pixalto::msg {

// The exact text for error (its first line is the program's own words; a
// cause follows on the next line). "" for success.
std::string Text(const Error& error);

// "path: reason" with the system's reason for the failure (errno's text, or
// the reason the file layer gave instead); "" when the system wasn't asked.
std::string SystemReason(const Error& error);

// True for the failures of a file operation (opening, creating, writing,
// inserting), under which the command line tool prints SystemReason.
bool IsAboutAFile(ErrorCode code);

// The title of a RAW-file job's failure: a file that couldn't be opened is a
// file error, a bad selection a plain error, the rest the extraction's or
// the insertion's own.
const char* JobFailureTitle(ErrorCode code);

// Titles.
inline constexpr const char* kErrorTitle = "Error";
inline constexpr const char* kInvalidSelectionTitle = "Error!";
inline constexpr const char* kFileErrorTitle = "File Error!";
inline constexpr const char* kTimErrorTitle = "TIM Error";
inline constexpr const char* kBmpErrorTitle = "BMP Error";
inline constexpr const char* kTimConversionErrorTitle = "TIM Conversion Error!";
inline constexpr const char* kBmpConversionErrorTitle = "BMP Conversion Error!";
inline constexpr const char* kPngConversionErrorTitle = "PNG Conversion Error!";
inline constexpr const char* kPaletteErrorTitle = "Palette Error";
// The window's own spelling when it opens a BMP.
inline constexpr const char* kBmpOpenConversionErrorTitle = "BMP conversion Error!";
inline constexpr const char* kExtractionErrorTitle = "Extraction Error";
inline constexpr const char* kInsertionErrorTitle = "Insertion Error";
inline constexpr const char* kConfirmTitle = "Confirm";
inline constexpr const char* kFilesSavedTitle = "Files Saved";
inline constexpr const char* kFilesInsertedTitle = "File(s) Inserted";
inline constexpr const char* kNoneInsertedTitle = "Nothing Inserted";
inline constexpr const char* kNoFilesFoundTitle = "File Search";
inline constexpr const char* kFilesConvertedTitle = "Mass Conversion";
inline constexpr const char* kFileSavedTitle = "File Saved";
inline constexpr const char* kConversionErrorTitle = "Conversion Error";
// The program's name, over its own questions.
inline constexpr const char* kProgramTitle = "Pixalto";

// Texts that report success.
inline constexpr const char* kFilesSaved = "TIM Files have been saved!";
inline constexpr const char* kFilesInserted = "TIM File(s) have been inserted!";
// Every record was skipped: nothing is claimed to have been inserted.
inline constexpr const char* kNoneInserted = "No TIM file was inserted.";
inline constexpr const char* kFilesConverted = "File(s) converted!";
inline constexpr const char* kTimSaved = "TIM File has been saved!";
inline constexpr const char* kBmpSaved = "BMP File has been saved!";
inline constexpr const char* kPngSaved = "PNG File has been saved!";
inline constexpr const char* kPaletteSaved = "The palette has been saved!";
// Asked when a truecolour PNG with no record of its depth is opened, with
// the depths offered: 4, 8, 16 and 24 bits, in that order.
inline constexpr const char* kPngDepthQuestion =
    "This PNG doesn't say which depth its TIM had. Which depth should the TIM have?";
inline constexpr const char* kPngDepthChoices[] = {
    "4-bit (16 colours, quantised)", "8-bit (256 colours, quantised)", "16-bit", "24-bit"};

// "File(s) converted!" when none failed, else "2 of 5 file(s) converted; 3 failed!".
std::string ConvertedText(std::size_t converted, std::size_t failed);
// The status bar during a folder conversion: "Converting files: 128 of 300".
std::string ConvertingProgressText(std::size_t done, std::size_t total);

// Questions asked before a record whose size changed is inserted.
std::string TimLarger(std::int32_t fileNumber, std::uint64_t bytes);
std::string TimSmaller(std::int32_t fileNumber, std::uint64_t bytes);

// Asked before CLUT edits not yet saved would be lost: "Save changes to FILE?".
std::string SaveChanges(const std::string& file);

// Status lines of the RAW-file jobs.
std::string BytesScanned(std::uint64_t position, std::uint64_t length);
std::string ImagesFound(std::uint64_t count);
// The scan's bar: "12.5 of 700.0 MB (1%)", in MB of 1,048,576 bytes, the
// percentage rounded down.
std::string ScanProgress(std::uint64_t position, std::uint64_t length);
// The window's status bar after a scan was cancelled: "Scan cancelled.
// Images Found: 3".
std::string ScanCancelled(std::uint64_t count);
// What the filter box under the list of TIMs takes.
inline constexpr const char* kEntryFilterHelp =
    "Show only the TIMs of a size and depth in pixels: 64x64, 64x*, 4bpp or 64x64 8bpp";
std::string TimNumber(std::int32_t fileNumber);
// A dry run's report of an insertion: the table's headers, then per record
// the size against the listed one ("same", "12 bytes bigger", "12 bytes
// smaller") and what would become of it; the summary under the table.
inline constexpr const char* kDryRunHeaders[] = {"File #", "Size", "Sectors", "Damaged", "Result"};
std::string SizeChange(std::uint64_t listedSize, std::uint64_t timSize);
inline constexpr const char* kWouldBeWritten = "would be written";
inline constexpr const char* kSizeChangedNotWritten =
    "not written: its size changed (--yes writes it)";
// "not written: " and the reason, its lines joined by spaces.
std::string NotWritten(const Error& reason);
std::string DryRunSummary(std::uint64_t written, std::uint64_t records);
// A patch made instead of writing into the image.
std::string PatchWritten(const std::string& path, std::uint64_t changedBytes);
// The window's Insert shows the dry run's table first, under this title and
// text, and offers these actions besides Cancel: write, or save a patch.
inline constexpr const char* kInsertPreviewTitle = "Insertion Preview";
std::string InsertPreview(const std::string& rawPath, std::uint64_t written, std::uint64_t records,
                          bool sizeChanged);
inline constexpr const char* kInsertActions[] = {"&Write", "Save as &Patch..."};
inline constexpr const char* kPatchSavedTitle = "Patch Saved";
// Asked after Write or Save as Patch when the preview found sectors whose
// codes were already wrong (the command line's --rebuild-damaged).
inline constexpr const char* kDamagedSectorsTitle = "Damaged Sectors";
std::string RebuildDamagedQuestion(std::uint64_t sectors);

// extract --path chose nothing.
inline constexpr const char* kNoTimInPaths = "No TIM lies in a file that --path names.";
// A disc image whose file system can't be read: said once, before its hits.
// Without a path (the window, which shows it in the path box) the text is
// short enough for the status bar.
std::string NoFileSystem(const std::string& path);

}  // namespace pixalto::msg
