#include "image/Writer.h"

#include <algorithm>
#include <cerrno>
#include <span>
#include <vector>

#include "image/Sidecar.h"
#include "platform/FileReplace.h"

namespace pixalto {
namespace {

using Piece = std::span<const std::uint8_t>;

// A file's bytes as the pieces they come in (headers and buffers), written
// with one call.
class Pieces {
  public:
    void Add(const std::uint8_t* bytes, std::size_t count) { list_.emplace_back(bytes, count); }

    // count bytes of buffer; bytes a header promises but the buffer lacks are
    // written as zeros, so the file agrees with its own header.
    void AddBuffer(std::span<const std::uint8_t> buffer, std::uint64_t count) {
        const std::uint64_t present = std::min<std::uint64_t>(count, buffer.size());
        Add(buffer.data(), static_cast<std::size_t>(present));
        static const std::vector<std::uint8_t> zeros(64 * 1024, 0);
        for (std::uint64_t left = count - present; left != 0;) {
            const auto chunk =
                static_cast<std::size_t>(std::min<std::uint64_t>(left, zeros.size()));
            Add(zeros.data(), chunk);
            left -= chunk;
        }
    }

    bool WriteTo(File& file) const { return file.WritePieces(list_); }

  private:
    std::vector<Piece> list_;
};

bool WriteTim(const ImageState& state, File& file) {
    std::uint8_t head[TimHeader::kSize];
    std::uint8_t clutHeader[BlockHeader::kSize];
    std::uint8_t imageHeader[BlockHeader::kSize];
    Pieces pieces;
    state.Header().Store(head);
    pieces.Add(head, sizeof head);
    // The CLUT block follows the depth, not the CLUT bit of the mode.
    if (HasClut(state.bpp)) {
        state.ClutBlock().Store(clutHeader);
        pieces.Add(clutHeader, sizeof clutHeader);
        pieces.AddBuffer(state.clutData, state.clutDataSize);
    }
    state.ImageBlock().Store(imageHeader);
    pieces.Add(imageHeader, sizeof imageHeader);
    pieces.AddBuffer(state.imageData, state.imageDataSize);
    return pieces.WriteTo(file);
}

bool WriteBmp(const ImageState& state, File& file) {
    std::uint8_t headers[kBmpHeadersSize];
    StoreBmpFileHeader(state.bmpFileHeader, headers);
    StoreBmpInfoHeader(state.bmpInfoHeader, headers + kBmpFileHeaderSize);
    Pieces pieces;
    pieces.Add(headers, sizeof headers);
    if (!state.bmpPalette.empty()) {
        pieces.AddBuffer(state.bmpPalette,
                         std::uint64_t{state.bmpPaletteCount} * kBmpPaletteEntrySize);
    }
    pieces.AddBuffer(state.bmpPixels, state.bmpPixelSize);
    return pieces.WriteTo(file);
}

bool WriteSidecar(const ImageState& state, File& file) {
    Pieces pieces;
    pieces.AddBuffer(state.sidecarData, state.sidecarSize);
    return pieces.WriteTo(file);
}

// Creates the files of path and writes them in full, short of the flush:
// the TIM, or the BMP and (when the image has sidecar content) its sidecar,
// which is emplaced then.
Error StageFiles(const ImageState& state, const std::string& path, bool asTim, PendingFile& image,
                 std::optional<PendingFile>& sidecar) {
    if (asTim) {
        if (!image.Create()) {
            return image.LastError();
        }
        return WriteTim(state, image.file()) ? Error() : image.LastError();
    }
    if (state.sidecarSize != 0) {
        // A BMP named like its own sidecar (x.tmext) would be replaced by it.
        if (SidecarPathFor(path) == path) {
            return Error(ErrorCode::FailedSavingBmp, path, EINVAL,
                         "a BMP can't be named like its sidecar file (.tmext)");
        }
        sidecar.emplace(SidecarPathFor(path));
    }
    // Both targets are checked before a byte is written, the BMP first: a
    // refused target (or a folder that isn't there) is reported by the name
    // the user gave, and leaves no new sidecar behind.
    if (!image.Create()) {
        return image.LastError();
    }
    if (sidecar && !sidecar->Create()) {
        return sidecar->LastError();
    }
    if (sidecar && !WriteSidecar(state, sidecar->file())) {
        return sidecar->LastError();
    }
    return WriteBmp(state, image.file()) ? Error() : image.LastError();
}

// Both files are complete and on the disk before either takes its place; the
// sidecar goes first, and comes back as it was should the BMP then fail.
Error CommitStaged(PendingFile& image, std::optional<PendingFile>& sidecar) {
    if (!sidecar) {
        return image.Commit() ? Error() : image.LastError();
    }
    return CommitBoth(*sidecar, image);
}

Error Saving(const Error& error, bool asTim) {
    return error ? error.As(asTim ? ErrorCode::FailedSavingTim : ErrorCode::FailedSavingBmp)
                 : Error();
}

}  // namespace

Error WriteImageFile(const ImageState& state, const std::string& path, bool asTim) {
    PendingFile image(path);
    std::optional<PendingFile> sidecar;
    Error error = StageFiles(state, path, asTim, image, sidecar);
    if (!error && sidecar && !sidecar->Finish()) {
        error = sidecar->LastError();
    }
    if (!error && !image.Finish()) {
        error = image.LastError();
    }
    if (!error) {
        error = CommitStaged(image, sidecar);
    }
    return Saving(error, asTim);
}

Error ImageWriteBatch::Add(const ImageState& state, const std::string& path, bool asTim) {
    Error error = Stage(count_, state, path, asTim);
    if (!error) {
        ++count_;
    }
    return error;
}

void ImageWriteBatch::Commit(std::span<Error> errors) {
    CommitEntries(0, errors.first(count_));
    count_ = 0;
}

Error ImageWriteBatch::Stage(std::size_t index, const ImageState& state, const std::string& path,
                             bool asTim) {
    Entry& entry = entries_[index % kCapacity];
    entry.asTim = asTim;
    entry.image.emplace(path);
    Error error = StageFiles(state, path, asTim, *entry.image, entry.sidecar);
    if (!error && entry.sidecar && !entry.sidecar->FinishLater()) {
        error = entry.sidecar->LastError();
    }
    if (!error && !entry.image->FinishLater()) {
        error = entry.image->LastError();
    }
    if (error) {
        entry.image.reset();
        entry.sidecar.reset();
        return Saving(error, asTim);
    }
    return {};
}

void ImageWriteBatch::CommitEntries(std::size_t first, std::span<Error> errors, bool flushFolder) {
    const auto at = [&](std::size_t i) -> Entry& { return entries_[(first + i) % kCapacity]; };
    // Sidecars before their BMPs, as a single save flushes them.
    std::array<PendingFile*, kCapacity * 2> files{};
    std::array<bool, kCapacity * 2> finished{};
    std::size_t count = 0;
    for (std::size_t i = 0; i < errors.size(); ++i) {
        if (at(i).sidecar) {
            files[count++] = &*at(i).sidecar;
        }
        if (at(i).image) {
            files[count++] = &*at(i).image;
        }
    }
    const std::span<PendingFile* const> group(files.data(), count);
    FinishTogether(group, std::span<bool>(finished.data(), count));
    std::size_t next = 0;
    for (std::size_t i = 0; i < errors.size(); ++i) {
        Entry& entry = at(i);
        errors[i] = {};
        if (!entry.image) {
            continue;
        }
        Error error;
        for (PendingFile* file : {entry.sidecar ? &*entry.sidecar : nullptr, &*entry.image}) {
            if (file != nullptr && !finished[next++] && !error) {
                error = file->LastError();
            }
        }
        if (!error) {
            error = CommitStaged(*entry.image, entry.sidecar);
        }
        errors[i] = Saving(error, entry.asTim);
    }
    // Whether a rename in folder is one of this group's.
    const auto inGroup = [&](const std::string& folder) {
        return std::any_of(group.begin(), group.end(), [&](const PendingFile* file) {
            return FolderOf(file->Destination()) == folder;
        });
    };
    if (flushFolder) {
        SyncFoldersOf(group);
        // Folders of earlier renames that this group's flush didn't take.
        for (const std::string& folder : unsynced_) {
            if (!inGroup(folder)) {
                SyncFolder(folder);
            }
        }
        unsynced_.clear();
    } else {
        for (const PendingFile* file : group) {
            std::string folder = FolderOf(file->Destination());
            if (std::find(unsynced_.begin(), unsynced_.end(), folder) == unsynced_.end()) {
                unsynced_.push_back(std::move(folder));
            }
        }
    }
    for (std::size_t i = 0; i < errors.size(); ++i) {
        at(i).image.reset();
        at(i).sidecar.reset();
    }
}

}  // namespace pixalto
