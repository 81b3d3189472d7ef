#pragma once
// The texts and titles the RAW-file jobs and their commands show. Texts with
// a number or a path are built by the functions below.

#include <cstdint>
#include <string>

#include "raw/NumberText.h"

namespace pixalto::raw::msg {

inline constexpr const char* kCouldntOpenFile = "Couldn't open file!";
inline constexpr const char* kFileErrorTitle = "File Error!";

inline constexpr const char* kInvalidSelection = "Invalid Text entered into Input Stream";
inline constexpr const char* kInvalidSelectionTitle = "Error!";

inline constexpr const char* kExtractionErrorTitle = "Extraction Error";
inline constexpr const char* kFilesSaved = "TIM Files have been saved!";
inline constexpr const char* kFilesSavedTitle = "Files Saved";

inline constexpr const char* kInsertionErrorTitle = "Insertion Error";
inline constexpr const char* kNoRecords = "No TIM records found in the extraction list.";
inline constexpr const char* kConfirmTitle = "Confirm";
inline constexpr const char* kFilesInserted = "TIM File(s) have been inserted!";
inline constexpr const char* kFilesInsertedTitle = "File(s) Inserted";
// Every record was skipped: nothing is claimed to have been inserted.
inline constexpr const char* kNoneInserted = "No TIM file was inserted.";
inline constexpr const char* kNoneInsertedTitle = "Nothing Inserted";

inline std::string CouldntCreateFile(const std::string& path) {
    return "Couldn't create file " + path + "!";
}
// Writing an output over the RAW file would destroy what is being extracted.
inline std::string OutputIsRawFile(const std::string& path) {
    return CouldntCreateFile(path) + "\n" + path + " is the RAW file itself.";
}
inline std::string CouldntOpenForInsertion(const std::string& path) {
    return "Couldn't open " + path + " for insertion.";
}
inline std::string CouldntOpenTim(std::int32_t fileNumber) {
    return "Couldn't open TIM #" + Decimal(fileNumber) + " for insertion.";
}
inline std::string CouldntInsertTim(std::int32_t fileNumber) {
    return "Couldn't insert TIM #" + Decimal(fileNumber) + ".";
}
// Why a record wasn't inserted, on a line under CouldntInsertTim.
inline std::string CouldntInsertTim(std::int32_t fileNumber, const std::string& reason) {
    return CouldntInsertTim(fileNumber) + "\n" + reason;
}
// Positions (from the user or the list) that hold no byte of the data.
inline std::string OffsetPastEnd(std::uint64_t offset) {
    return "Offset " + Decimal(offset) + " is past the end of the file.";
}
inline std::string OffsetNotInData(std::uint64_t offset) {
    return "Offset " + Decimal(offset) + " is not in the sectors' data.";
}
// A sector whose codes were already wrong before anything was written: it is
// numbered as check-disc numbers it, from the file's first sector.
inline std::string SectorAlreadyDamaged(std::uint64_t sector, std::uint64_t fileOffset, bool edcBad,
                                        bool eccBad) {
    const char* codes = edcBad && eccBad ? "its EDC and ECC don't"
                        : edcBad         ? "its EDC doesn't"
                                         : "its ECC doesn't";
    return "Sector " + Decimal(sector) + " at byte " + Decimal(fileOffset) +
           " is already damaged: " + codes + " match its bytes.";
}
inline std::string UnknownLayout(const std::string& layout) {
    return "The extraction list names a layout this program doesn't know: " + layout + ".";
}
// What a layout is called in a sentence: "plain" is no kind of disc image.
inline std::string LayoutPhrase(const std::string& layout) {
    return layout == "plain" ? std::string("a plain file") : "a " + layout + " disc image";
}
inline std::string LayoutMismatch(const std::string& listLayout, const std::string& path,
                                  const std::string& fileLayout) {
    std::string file = fileLayout == "plain"   ? std::string("not one")
                       : listLayout == "plain" ? LayoutPhrase(fileLayout)
                                               : "a " + fileLayout + " one";
    return "The extraction list was written for " + LayoutPhrase(listLayout) + ", but " + path +
           " is " + file + ". Nothing was inserted.";
}
inline std::string NoLayoutForDisc(const std::string& path, const std::string& fileLayout) {
    return "The extraction list names no layout, but " + path + " is " + LayoutPhrase(fileLayout) +
           ". Nothing was inserted.";
}
inline std::string TwoLayouts(const std::string& first, const std::string& second) {
    return "The extraction list can't be read: it names two layouts, " + first + " and " + second +
           ". Nothing was inserted.";
}
inline std::string InvalidRecord(std::int32_t recordNumber) {
    return "Record " + Decimal(recordNumber) + " of the extraction list can't be read.";
}
inline std::string TimLarger(std::int32_t fileNumber, std::uint64_t bytes) {
    return "TIM #" + Decimal(fileNumber) + " is " + Decimal(bytes) +
           " bytes larger than it originally was. Continue inserting?";
}
inline std::string TimSmaller(std::int32_t fileNumber, std::uint64_t bytes) {
    return "TIM #" + Decimal(fileNumber) + " is " + Decimal(bytes) +
           " bytes smaller than it originally was. Continue inserting?";
}

// Status lines.
inline std::string BytesScanned(std::uint64_t position, std::uint64_t length) {
    return Decimal(position) + " out of " + Decimal(length) + " bytes";
}
inline std::string ImagesFound(std::uint64_t count) {
    return "Images Found: " + Decimal(count);
}
inline std::string TimNumber(std::int32_t fileNumber) {
    return "TIM #" + Decimal(fileNumber);
}

}  // namespace pixalto::raw::msg
