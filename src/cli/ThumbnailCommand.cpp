#include <algorithm>
#include <iostream>
#include <memory>
#include <span>
#include <vector>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Failure.h"
#include "cli/PngFile.h"
#include "cli/ThumbnailScale.h"
#include "image/LoadImage.h"
#include "image/Paint.h"
#include "platform/File.h"

namespace pixalto::cli {
namespace {

// The largest thumbnail side: the largest size the desktop's thumbnail
// folders keep.
constexpr std::uint64_t kMaxSize = 1024;

// A file manager asks for thumbnails of whatever it is shown, so the work
// must stay small for any file: a block (CLUT or pixels) may hold at most
// the PlayStation's whole video memory, 1024 x 512 16-bit words, which no
// TIM meant for the console exceeds. Only the bytes the TIM spans are read,
// whatever follows them in the file.
constexpr std::uint32_t kMaxBlockData = 1024 * 512 * 2;

struct ThumbnailArgs {
    std::string in;
    std::string out;
    std::uint64_t size = 0;
};

// The bytes of the file from offset on, count at most.
std::vector<std::uint8_t> ReadAt(File& file, std::uint64_t offset, std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    if (!file.Seek(static_cast<std::int64_t>(offset))) {
        return {};
    }
    bytes.resize(file.Read(bytes.data(), count));
    return bytes;
}

// A block the reader would take (its length covers its own header) that
// holds more than the bound.
bool TooLarge(const BlockHeader& block) {
    return block.length >= BlockHeader::kSize && block.DataSize() > kMaxBlockData;
}

// How many bytes from the start the reader needs to read the TIM there, or
// judge that it is none: its headers and blocks as they claim (all the file
// when it ends first). Nothing when a block claims more than the bound.
std::optional<std::uint64_t> BytesToRead(File& file) {
    const std::vector<std::uint8_t> head = ReadAt(file, 0, TimHeader::kSize + BlockHeader::kSize);
    const auto tim = TimHeader::Parse(head);
    if (!tim || !tim->IsValid()) {
        return head.size();
    }
    std::uint32_t clutLength = 0;
    if (tim->HasClut()) {
        const auto clut = BlockHeader::Parse(std::span(head).subspan(TimHeader::kSize));
        if (!clut || clut->length < BlockHeader::kSize) {
            return head.size();
        }
        if (TooLarge(*clut)) {
            return std::nullopt;
        }
        clutLength = clut->length;
    }
    const std::uint64_t imageAt = tim->ImageBlockOffset(clutLength);
    const auto image = BlockHeader::Parse(ReadAt(file, imageAt, BlockHeader::kSize));
    if (!image || image->length < BlockHeader::kSize) {
        return imageAt + BlockHeader::kSize;
    }
    if (TooLarge(*image)) {
        return std::nullopt;
    }
    return imageAt + image->length;
}

// The bytes of the TIM at the start of path, as far as the file holds them;
// nothing when a block is too large for a thumbnail.
Result<std::optional<std::vector<std::uint8_t>>> ReadTim(const std::string& path) {
    File file;
    if (!file.Open(path, File::Mode::Read)) {
        return file.LastError().As(ErrorCode::CouldntOpenFile);
    }
    const std::optional<std::uint64_t> count = BytesToRead(file);
    if (!count) {
        return std::optional<std::vector<std::uint8_t>>();
    }
    return std::optional(ReadAt(file, 0, static_cast<std::size_t>(*count)));
}

Error LoadFromBytes(const std::vector<std::uint8_t>& bytes, const std::string& path,
                    ImageState& state) {
    File memory;
    if (!memory.OpenMemory(bytes.data(), bytes.size(), path)) {
        return Error(ErrorCode::NotEnoughMemory);
    }
    return LoadTim(state, memory);
}

int RunThumbnail(const ThumbnailArgs& args) {
    if (args.size < 1 || args.size > kMaxSize) {
        throw UsageError("--size must be from 1 to " + std::to_string(kMaxSize) + ", not " +
                         std::to_string(args.size));
    }
    const Result<std::optional<std::vector<std::uint8_t>>> bytes = ReadTim(args.in);
    if (!bytes) {
        ReportFailure(bytes.error());
        return kExitFailure;
    }
    if (!*bytes) {
        std::cerr << "too large for a thumbnail: a block holds more than the PlayStation's "
                     "video memory (1 MiB)\n"
                  << args.in << '\n';
        return kExitFailure;
    }
    ImageState state;
    if (Error error = LoadFromBytes(**bytes, args.in, state)) {
        ReportFailure(error);
        return kExitFailure;
    }
    // As the window shows it with the first CLUT set, colour word 0 left
    // transparent.
    ViewOptions view;
    view.transparency = true;
    const std::optional<DrawableExtent> extent = ExtentForPng(state, view);
    if (!extent) {
        return kExitFailure;
    }
    FittingSurface surface(static_cast<int>(extent->width), static_cast<int>(extent->rows),
                           static_cast<int>(args.size));
    PaintImage(state, view, surface, {0, 0});
    state.ReleaseBuffers();
    const ScaledPicture thumbnail = surface.Finish();
    return WritePngFile(args.out, thumbnail.width, thumbnail.height, thumbnail.pixels,
                        /*quick=*/true);
}

}  // namespace

Runner DefineThumbnail(CLI::App& command) {
    auto args = std::make_shared<ThumbnailArgs>();
    AddArgument(command, "FILE", args->in, "a TIM");
    AddArgument(command, "OUT", args->out, "the PNG to write");
    AddNumberOption(command, "--size", args->size,
                    "the thumbnail's longer side at most, in pixels (1 to 1024)")
        ->required();
    return [args] { return RunThumbnail(*args); };
}

}  // namespace pixalto::cli
