#include "messages/Catalogue.h"

#include <algorithm>
#include <cstring>

namespace pixalto::msg {
namespace {

std::string Decimal(std::int64_t value) {
    return std::to_string(value);
}

// What a layout is called in a sentence: "plain" is no kind of disc image.
std::string LayoutPhrase(const std::string& layout) {
    return layout == "plain" ? std::string("a plain file") : "a " + layout + " disc image";
}

std::string SectorDamage(std::uint8_t damage) {
    const bool edc = (damage & kEdcDamaged) != 0;
    const bool ecc = (damage & kEccDamaged) != 0;
    return edc && ecc ? "its EDC and ECC don't" : edc ? "its EDC doesn't" : "its ECC doesn't";
}

std::string FirstLine(const Error& e) {
    const std::string& path = e.subject.empty() ? e.path : e.subject;
    switch (e.code) {
        case ErrorCode::None:
            return {};
        case ErrorCode::CouldntOpenFile:
            return "Couldn't open file!";
        case ErrorCode::CouldntCreateFile:
            return "Couldn't create file " + path + "!";
        case ErrorCode::OutputIsRawFile:
            return "Couldn't create file " + path + "!\n" + path + " is the RAW file itself.";
        case ErrorCode::FailedSavingTim:
            return "Failed on saving TIM File!";
        case ErrorCode::FailedSavingBmp:
            return "Failed on saving BMP File!";
        case ErrorCode::FailedSavingPng:
            return "Failed on saving PNG File!";
        case ErrorCode::FailedSavingPalette:
            return "Failed on saving the palette!";
        case ErrorCode::TimHeaderNotFound:
            return "TIM Header not found!";
        case ErrorCode::InvalidTimHeader:
            return "Invalid TIM Header!";
        case ErrorCode::ImageBeyond1Gig:
            return "Image size is beyond 1 GIG!";
        case ErrorCode::FileTooSmall:
            return "File size is too small for the data needed for the image.";
        case ErrorCode::NotEnoughMemory:
            return "Not enough memory to handle image!";
        case ErrorCode::BmpHeaderNotFound:
            return "BMP Header not found!";
        case ErrorCode::CompressionNotSupported:
            return "Can't handle this Compression type.";
        case ErrorCode::BadBiSize:
            return "Bad biSize";
        case ErrorCode::BppNotSupported:
            return "BPP Mode not supported!";
        case ErrorCode::TooLargeForTim:
            return "Image is too wide or too high for a TIM!";
        case ErrorCode::OriginsMissing:
            return path + " has no usable sidecar file: give the origins with " + e.detail;
        case ErrorCode::NoFilesFound: {
            std::string text = "No Files were found!";
            if (e.sysErrno != 0) {
                text += '\n' + SystemReason(e);
            }
            return text;
        }
        case ErrorCode::InvalidSelection:
            return "Invalid Text entered into Input Stream";
        case ErrorCode::NoRecords:
            return "No TIM records found in the extraction list.";
        case ErrorCode::CouldntOpenForInsertion:
            return "Couldn't open " + path + " for insertion.";
        case ErrorCode::CouldntOpenTim:
            return "Couldn't open TIM #" + Decimal(e.number) + " for insertion.";
        case ErrorCode::CouldntInsertTim:
            return "Couldn't insert TIM #" + Decimal(e.number) + ".";
        case ErrorCode::OffsetPastEnd:
            return "Offset " + std::to_string(e.offset) + " is past the end of the file.";
        case ErrorCode::OffsetNotInData:
            return "Offset " + std::to_string(e.offset) + " is not in the sectors' data.";
        case ErrorCode::SectorAlreadyDamaged:
            // Numbered as check-disc numbers sectors, from the file's first.
            return "Sector " + Decimal(e.number) + " at byte " + std::to_string(e.offset) +
                   " is already damaged: " + SectorDamage(e.damage) + " match its bytes.";
        case ErrorCode::UnknownLayout:
            return "The extraction list names a layout this program doesn't know: " + e.detail +
                   ".";
        case ErrorCode::LayoutMismatch: {
            const std::string file = e.other == "plain"    ? std::string("not one")
                                     : e.detail == "plain" ? LayoutPhrase(e.other)
                                                           : "a " + e.other + " one";
            return "The extraction list was written for " + LayoutPhrase(e.detail) + ", but " +
                   path + " is " + file + ". Nothing was inserted.";
        }
        case ErrorCode::NoLayoutForDisc:
            return "The extraction list names no layout, but " + path + " is " +
                   LayoutPhrase(e.other) + ". Nothing was inserted.";
        case ErrorCode::TwoLayouts:
            return "The extraction list can't be read: it names two layouts, " + e.detail +
                   " and " + e.other + ". Nothing was inserted.";
        case ErrorCode::InvalidRecord:
            return "Record " + Decimal(e.number) + " of the extraction list can't be read.";
        case ErrorCode::OutOfMemory:
            return "Not enough memory to finish the command.";
        case ErrorCode::CouldntWriteFile:
            return "Couldn't write " + path;
        case ErrorCode::CouldntReadToEnd:
            return "Couldn't read " + path + " to its end.";
        case ErrorCode::NotARawCdImage:
            return path + " is not a raw CD image";
        case ErrorCode::PngUnreadable:
            return "Couldn't read the PNG: " + e.detail;
        case ErrorCode::IndexBeyondClut:
            return "Pixel (" + std::to_string(e.offset) + ", " + Decimal(e.number) +
                   ") has colour index " + Decimal(e.damage) +
                   ", beyond the 16 colours of a 4-bit CLUT.";
        case ErrorCode::QuantiseFailed:
            return "Couldn't reduce the image's colours to a palette.";
        case ErrorCode::PaletteUnreadable:
            return "Couldn't read the palette: " + e.detail;
        case ErrorCode::PaletteTooLong:
            return "The palette has " + Decimal(e.number) + " colours, more than the " +
                   std::to_string(e.offset) + " of a CLUT set.";
        case ErrorCode::PaletteFormatUnknown:
            return "Unknown palette format: " + path + " (use .gpl, .pal, .act, .tim or .clt)";
        case ErrorCode::NoClutForPalette:
            return "The image has no CLUT: only 4- and 8-bit images have a palette.";
        case ErrorCode::EmptyImageForPng:
            return "An image without pixels can't be written as a PNG.";
        case ErrorCode::IpsPastLimit:
            return "An IPS patch reaches only the first 16 MiB of a file, but this insertion "
                   "changes the byte at offset " +
                   std::to_string(e.offset) + ": make a PPF patch (.ppf) instead.";
        case ErrorCode::InsertIntoDevice:
            return path +
                   " is a device (a disc in a drive), which insertion never writes: "
                   "insert into an image of the disc instead.";
    }
    return {};
}

}  // namespace

std::string Text(const Error& error) {
    std::string text = FirstLine(error);
    if (error.cause) {
        text += '\n' + Text(*error.cause);
    }
    return text;
}

std::string SystemReason(const Error& error) {
    if (error.sysErrno == 0) {
        return {};
    }
    return error.path + ": " +
           (error.reason.empty() ? std::string(std::strerror(error.sysErrno)) : error.reason);
}

bool IsAboutAFile(ErrorCode code) {
    switch (code) {
        case ErrorCode::CouldntOpenFile:
        case ErrorCode::CouldntCreateFile:
        case ErrorCode::OutputIsRawFile:
        case ErrorCode::FailedSavingTim:
        case ErrorCode::FailedSavingBmp:
        case ErrorCode::FailedSavingPng:
        case ErrorCode::FailedSavingPalette:
        case ErrorCode::CouldntOpenForInsertion:
        case ErrorCode::CouldntOpenTim:
        case ErrorCode::CouldntInsertTim:
        case ErrorCode::CouldntWriteFile:
        case ErrorCode::CouldntReadToEnd:
            return true;
        default:
            return false;
    }
}

const char* JobFailureTitle(ErrorCode code) {
    switch (code) {
        case ErrorCode::CouldntOpenFile:
            return kFileErrorTitle;
        case ErrorCode::InvalidSelection:
            return kInvalidSelectionTitle;
        case ErrorCode::CouldntCreateFile:
        case ErrorCode::OutputIsRawFile:
            return kExtractionErrorTitle;
        default:
            return kInsertionErrorTitle;
    }
}

std::string ConvertedText(std::size_t converted, std::size_t failed) {
    if (failed == 0) {
        return kFilesConverted;
    }
    return std::to_string(converted) + " of " + std::to_string(converted + failed) +
           " file(s) converted; " + std::to_string(failed) + " failed!";
}

std::string ConvertingProgressText(std::size_t done, std::size_t total) {
    return "Converting files: " + std::to_string(done) + " of " + std::to_string(total);
}

std::string TimLarger(std::int32_t fileNumber, std::uint64_t bytes) {
    return "TIM #" + Decimal(fileNumber) + " is " + std::to_string(bytes) +
           " bytes larger than it originally was. Continue inserting?";
}

std::string SaveChanges(const std::string& file) {
    return "Save changes to " + file + "?";
}

std::string TimSmaller(std::int32_t fileNumber, std::uint64_t bytes) {
    return "TIM #" + Decimal(fileNumber) + " is " + std::to_string(bytes) +
           " bytes smaller than it originally was. Continue inserting?";
}

std::string BytesScanned(std::uint64_t position, std::uint64_t length) {
    return std::to_string(position) + " out of " + std::to_string(length) + " bytes";
}

std::string ImagesFound(std::uint64_t count) {
    return "Images Found: " + std::to_string(count);
}

std::string ScanProgress(std::uint64_t position, std::uint64_t length) {
    const auto megabytes = [](std::uint64_t bytes) {
        // One decimal, rounded down, without floating point's surprises.
        const std::uint64_t tenths =
            bytes / (std::uint64_t{1} << 20) * 10 +
            bytes % (std::uint64_t{1} << 20) * 10 / (std::uint64_t{1} << 20);
        return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
    };
    const std::uint64_t percent =
        length == 0 ? 100
                    : static_cast<std::uint64_t>(static_cast<double>(position) * 100.0 /
                                                 static_cast<double>(length));
    return megabytes(position) + " of " + megabytes(length) + " MB (" +
           std::to_string(std::min<std::uint64_t>(percent, 100)) + "%)";
}

std::string ScanCancelled(std::uint64_t count) {
    return "Scan cancelled. " + ImagesFound(count);
}

std::string SizeChange(std::uint64_t listedSize, std::uint64_t timSize) {
    if (timSize == listedSize) {
        return "same";
    }
    return timSize > listedSize ? std::to_string(timSize - listedSize) + " bytes bigger"
                                : std::to_string(listedSize - timSize) + " bytes smaller";
}

std::string NotWritten(const Error& reason) {
    std::string text = Text(reason);
    std::replace(text.begin(), text.end(), '\n', ' ');
    return "not written: " + text;
}

std::string DryRunSummary(std::uint64_t written, std::uint64_t records) {
    return std::to_string(written) + " of " + std::to_string(records) +
           (records == 1 ? " TIM" : " TIMs") + " would be written.";
}

std::string PatchWritten(const std::string& path, std::uint64_t changedBytes) {
    return "Patch written to " + path + ": " + std::to_string(changedBytes) +
           (changedBytes == 1 ? " byte" : " bytes") + " of the image change.";
}

std::string InsertPreview(const std::string& rawPath, std::uint64_t written, std::uint64_t records,
                          bool sizeChanged) {
    return "Inserting into " + rawPath + ":\n" + DryRunSummary(written, records) +
           (sizeChanged ? "\nWrite asks before writing a TIM whose size changed." : "");
}

std::string RebuildDamagedQuestion(std::uint64_t sectors) {
    return std::to_string(sectors) +
           (sectors == 1 ? " sector that the insertion writes into already has"
                         : " sectors that the insertion writes into already have") +
           " wrong codes (EDC or ECC).\n\nRebuild the codes? The damage can then no longer be "
           "seen in the image. No stops the insertion at the first TIM that would go into a "
           "damaged sector.";
}

std::string NoFileSystem(const std::string& path) {
    return "No ISO 9660 file system could be read" + (path.empty() ? "" : " in " + path) +
           ": hits show their sector (LBA) only.";
}

std::string TimNumber(std::int32_t fileNumber) {
    return "TIM #" + Decimal(fileNumber);
}

}  // namespace pixalto::msg
