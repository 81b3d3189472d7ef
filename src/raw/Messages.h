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

inline std::string CouldntCreateFile(const std::string& path) {
    return "Couldn't create file " + path + "!";
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
inline std::string UnknownLayout(const std::string& layout) {
    return "The extraction list names a layout this program doesn't know: " + layout + ".";
}
inline std::string LayoutMismatch(const std::string& listLayout, const std::string& path,
                                  const std::string& fileLayout) {
    return "The extraction list was written for a " + listLayout + " disc image, but " + path +
           " is " + (fileLayout == "plain" ? std::string("not one") : "a " + fileLayout + " one") +
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
