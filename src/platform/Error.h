#pragma once
// What went wrong, as a value. Every layer from the file object up returns
// one (or a Result holding one) instead of a text: the front end that shows
// the failure picks its words and title from the message catalogue
// (messages/Catalogue.h), so no code below the front ends writes or compares
// a message. A default Error means success.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <variant>

namespace pixalto {

// Every failure the libraries report. The comment says which fields of the
// Error the catalogue's text uses; "path" there is the subject when one is
// set, else the path.
enum class ErrorCode : std::uint8_t {
    None = 0,

    // Files. path and sysErrno (with reason) say which file and why.
    CouldntOpenFile,      // opening or reading a file the user named
    CouldntCreateFile,    // path: the output that couldn't be written
    OutputIsRawFile,      // path: an output that would overwrite the RAW file
    FailedSavingTim,      // writing a TIM (path: the file)
    FailedSavingBmp,      // writing a BMP or its sidecar
    FailedSavingPng,      // writing a PNG or its sidecar
    FailedSavingPalette,  // writing a palette file

    // Reading and converting images.
    TimHeaderNotFound,
    InvalidTimHeader,
    ImageBeyond1Gig,
    FileTooSmall,
    NotEnoughMemory,  // a buffer for an image couldn't be allocated
    BmpHeaderNotFound,
    CompressionNotSupported,
    BadBiSize,
    BppNotSupported,
    TooLargeForTim,
    // A BMP without a usable sidecar whose origins weren't given: path is the
    // BMP, detail the options that were missing, joined with " and ".
    OriginsMissing,

    // A folder to convert: nothing to convert in it (path and sysErrno when
    // the folder couldn't be read).
    NoFilesFound,

    // RAW-file jobs.
    InvalidSelection,         // a selection of file numbers that doesn't parse
    NoRecords,                // an extraction list without records
    CouldntOpenForInsertion,  // path: the RAW file the list names
    CouldntOpenTim,           // number: the file number of the .tim
    CouldntInsertTim,         // number; cause (when set) says why, on a line of its own
    OffsetPastEnd,            // offset: the position
    OffsetNotInData,          // offset: the position (a sector's sync, header or codes)
    SectorAlreadyDamaged,     // number: the sector, offset: its byte, damage: which codes
    UnknownLayout,            // detail: the layout named
    LayoutMismatch,           // detail: the list's layout, path, other: the file's layout
    NoLayoutForDisc,          // path, other: the file's layout
    TwoLayouts,               // detail and other: the two layouts
    InvalidRecord,            // number: the record's place in the list, from 1

    // Memory for a job's or a command's own work, outside an image buffer.
    OutOfMemory,

    // Checking a disc image, and writing the command line tool's PNG.
    CouldntWriteFile,  // path: a file that was created but not written in full
    CouldntReadToEnd,  // path: a file read only in part
    NotARawCdImage,    // path

    // PNGs and palettes.
    PngUnreadable,  // detail: what the PNG decoder found wrong
    // A pixel whose index a 4-bit CLUT doesn't have: offset is its X, number
    // its Y (the first such pixel, row by row), damage the index.
    IndexBeyondClut,
    QuantiseFailed,        // a truecolour image couldn't be reduced to a palette
    PaletteUnreadable,     // detail: what is wrong with the palette file
    PaletteTooLong,        // number: colours in the palette, offset: colours in a set
    PaletteFormatUnknown,  // path: a palette file of an extension not known
    NoClutForPalette,      // a palette for an image without a CLUT
    EmptyImageForPng,      // a TIM without a pixel: a PNG can't be empty
    // Patches and devices.
    IpsPastLimit,      // offset: the first changed byte an IPS patch can't address
    InsertIntoDevice,  // path: a block device (a disc in a drive) named for insertion
};

// Which codes of a sector were already wrong (SectorAlreadyDamaged).
enum SectorDamageBits : std::uint8_t { kEdcDamaged = 1, kEccDamaged = 2 };

struct Error {
    ErrorCode code = ErrorCode::None;
    std::string path;  // the file (or folder) the system failed on
    // The file the text names, when that is not path: an output that wasn't
    // written because reading another file failed.
    std::string subject;
    int sysErrno = 0;          // the system's errno; 0 when the system wasn't asked
    std::string reason;        // said instead of errno's text when that doesn't fit
    std::int64_t number = 0;   // a file number, record number or sector
    std::uint64_t offset = 0;  // a position in a file
    std::uint8_t damage = 0;   // SectorDamageBits
    std::string detail;        // a name the text quotes (a layout, options)
    std::string other;         // a second one
    // What lies under this failure, told on the next line.
    std::shared_ptr<const Error> cause;

    Error() = default;
    explicit Error(ErrorCode c) : code(c) {}
    Error(ErrorCode c, std::string p, int e = 0, std::string why = {})
        : code(c), path(std::move(p)), sysErrno(e), reason(std::move(why)) {}

    // True when something failed.
    explicit operator bool() const { return code != ErrorCode::None; }
    // Which failure it is (ErrorCode::None for success).
    bool operator==(ErrorCode c) const { return code == c; }

    // The same failure told as code: keeps path, errno and reason, so that a
    // file layer failure becomes the caller's own ("Couldn't open file!")
    // and still says which file and why.
    Error As(ErrorCode c) const {
        Error e = *this;
        e.code = c;
        return e;
    }
    Error& WithNumber(std::int64_t n) {
        number = n;
        return *this;
    }
    Error& About(std::string file) {
        subject = std::move(file);
        return *this;
    }
    Error& WithOffset(std::uint64_t o) {
        offset = o;
        return *this;
    }
    Error& Because(Error inner) {
        cause = std::make_shared<const Error>(std::move(inner));
        return *this;
    }
};

// A value, or the Error that kept it from being made.
template <typename T>
class Result {
  public:
    Result(T value) : data_(std::move(value)) {}      // NOLINT: implicit by design
    Result(Error error) : data_(std::move(error)) {}  // NOLINT

    bool ok() const { return std::holds_alternative<T>(data_); }
    explicit operator bool() const { return ok(); }

    T& value() { return std::get<T>(data_); }
    const T& value() const { return std::get<T>(data_); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    // True when it holds exactly value.
    bool operator==(const T& other) const { return ok() && value() == other; }

    // The failure; a default (success) Error when there is a value.
    Error error() const { return ok() ? Error() : std::get<Error>(data_); }

  private:
    std::variant<T, Error> data_;
};

}  // namespace pixalto
