#include "platform/File.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <iterator>
#include <utility>

namespace pixalto {

File::~File() {
    Close();
}

File::File(File&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      path_(std::move(other.path_)),
      failurePath_(std::move(other.failurePath_)),
      blockDevice_(other.blockDevice_),
      length_(std::exchange(other.length_, -1)),
      position_(std::exchange(other.position_, -1)),
      error_(std::move(other.error_)) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
        failurePath_ = std::move(other.failurePath_);
        blockDevice_ = other.blockDevice_;
        length_ = std::exchange(other.length_, -1);
        position_ = std::exchange(other.position_, -1);
        error_ = std::move(other.error_);
    }
    return *this;
}

namespace {

// What each mode may open: reading and patching in place take regular files,
// and RAW files also block devices; creating takes whatever open() made.
bool AcceptsKind(File::Mode mode, mode_t kind) {
    switch (mode) {
        case File::Mode::Read:
            return S_ISREG(kind);
        case File::Mode::ReadRaw:
        case File::Mode::WriteInPlace:
            return S_ISREG(kind) || S_ISBLK(kind);
        case File::Mode::CreateWrite:
        case File::Mode::CreateNew:
            return S_ISREG(kind);
    }
    return false;
}

}  // namespace

bool File::Fail(ErrorCode code, const std::string& path, int error, std::string reason) {
    error_ = Error(code, path, error, std::move(reason));
    return false;
}

bool File::Open(const std::string& path, Mode mode) {
    Close();
    error_ = {};
    // Non-blocking for the open itself: opening a FIFO for reading would
    // otherwise wait for a writer. The kind is checked right after. A file
    // that must be new is created by this very call, a regular file and
    // ours: it needs neither.
    int flags = O_CLOEXEC | (mode == Mode::CreateNew ? 0 : O_NONBLOCK);
    switch (mode) {
        case Mode::Read:
        case Mode::ReadRaw:
            flags |= O_RDONLY;
            break;
        case Mode::CreateWrite:
            flags |= O_WRONLY | O_CREAT | O_TRUNC;
            break;
        case Mode::CreateNew:
            flags |= O_WRONLY | O_CREAT | O_EXCL;
            break;
        case Mode::WriteInPlace:
            flags |= O_RDWR;
            break;
    }
    int fd;
    do {
        fd = ::open(path.c_str(), flags, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return Fail(ErrorCode::CouldntOpenFile, path, errno);
    }
    struct stat info {};
    if (mode == Mode::CreateNew) {
        info.st_mode = S_IFREG;
    } else if (::fstat(fd, &info) != 0 || !AcceptsKind(mode, info.st_mode)) {
        ::close(fd);
        return S_ISDIR(info.st_mode)
                   ? Fail(ErrorCode::CouldntOpenFile, path, EISDIR)
                   : Fail(ErrorCode::CouldntOpenFile, path, ENOTSUP, kNotARegularFile);
    }
    // Reads and writes of a regular file ignore O_NONBLOCK; anything else
    // loses it.
    if (!S_ISREG(info.st_mode)) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    }
    fd_ = fd;
    path_ = path;
    failurePath_.clear();
    blockDevice_ = S_ISBLK(info.st_mode);
    if (mode == Mode::Read) {
        length_ = static_cast<std::int64_t>(info.st_size);
        position_ = 0;
    }
    return true;
}

bool File::OpenMemory(const std::uint8_t* bytes, std::size_t count, const std::string& name) {
    Close();
    error_ = {};
    const int fd = ::memfd_create(FileNameOf(name).c_str(), MFD_CLOEXEC);
    if (fd < 0) {
        return Fail(ErrorCode::CouldntOpenFile, name, errno);
    }
    fd_ = fd;
    path_ = name;
    failurePath_.clear();
    blockDevice_ = false;
    if (!Write(bytes, count) || Seek(0) != 0) {
        Close();
        return false;
    }
    return true;
}

std::size_t File::Read(void* buffer, std::size_t count) {
    if (fd_ < 0) {
        return 0;
    }
    auto* out = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        ssize_t n = ::read(fd_, out + done, count - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            Fail(ErrorCode::CouldntOpenFile, FailurePath(), errno);
        }
        if (n <= 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (position_ >= 0) {
        position_ += static_cast<std::int64_t>(done);
    }
    return done;
}

bool File::Write(const void* buffer, std::size_t count) {
    if (fd_ < 0) {
        return false;
    }
    const auto* in = static_cast<const unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        ssize_t n = ::write(fd_, in + done, count - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return Fail(ErrorCode::CouldntCreateFile, FailurePath(), n < 0 ? errno : ENOSPC);
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool File::WritePieces(std::span<const std::span<const std::uint8_t>> pieces) {
    if (fd_ < 0) {
        return false;
    }
    std::size_t piece = 0;
    std::size_t within = 0;  // bytes of pieces[piece] already written
    while (piece < pieces.size()) {
        iovec vectors[IOV_MAX > 1024 ? 1024 : IOV_MAX];
        int count = 0;
        for (std::size_t i = piece;
             i < pieces.size() && count < static_cast<int>(std::size(vectors)); ++i) {
            const std::size_t skip = i == piece ? within : 0;
            if (pieces[i].size() > skip) {
                vectors[count++] = {const_cast<std::uint8_t*>(pieces[i].data()) + skip,
                                    pieces[i].size() - skip};
            }
        }
        if (count == 0) {
            return true;
        }
        const ssize_t n = ::writev(fd_, vectors, count);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return Fail(ErrorCode::CouldntCreateFile, FailurePath(), n < 0 ? errno : ENOSPC);
        }
        // Step over what was written, whole pieces and part of the last.
        auto left = static_cast<std::size_t>(n);
        while (piece < pieces.size() && left >= pieces[piece].size() - within) {
            left -= pieces[piece].size() - within;
            ++piece;
            within = 0;
        }
        within += left;
    }
    return true;
}

bool File::Sync() {
    if (fd_ < 0) {
        return false;
    }
    if (::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS) {
        return Fail(ErrorCode::CouldntCreateFile, FailurePath(), errno);
    }
    return true;
}

Result<std::int64_t> File::Seek(std::int64_t offset, SeekFrom from) {
    if (fd_ < 0) {
        return Error(ErrorCode::CouldntOpenFile, path_, EBADF);
    }
    int whence = from == SeekFrom::Begin     ? SEEK_SET
                 : from == SeekFrom::Current ? SEEK_CUR
                                             : SEEK_END;
    const off_t position = ::lseek(fd_, static_cast<off_t>(offset), whence);
    if (position < 0) {
        Fail(ErrorCode::CouldntOpenFile, FailurePath(), errno);
        return error_;
    }
    if (position_ >= 0) {
        position_ = static_cast<std::int64_t>(position);
    }
    return static_cast<std::int64_t>(position);
}

std::int64_t File::GetPosition() const {
    if (fd_ < 0) {
        return -1;
    }
    if (position_ >= 0) {
        return position_;
    }
    return static_cast<std::int64_t>(::lseek(fd_, 0, SEEK_CUR));
}

std::int64_t File::GetLength() const {
    if (fd_ >= 0 && length_ >= 0) {
        return length_;
    }
    struct stat info {};
    if (fd_ < 0 || ::fstat(fd_, &info) != 0) {
        return -1;
    }
    if (blockDevice_) {
        // A device's size is not in its status: ask where its end is.
        const off_t here = ::lseek(fd_, 0, SEEK_CUR);
        const off_t end = ::lseek(fd_, 0, SEEK_END);
        ::lseek(fd_, here, SEEK_SET);
        return static_cast<std::int64_t>(end);
    }
    return static_cast<std::int64_t>(info.st_size);
}

bool File::Close() {
    if (fd_ < 0) {
        return true;
    }
    length_ = position_ = -1;
    if (::close(std::exchange(fd_, -1)) != 0 && errno != EINTR) {
        return Fail(ErrorCode::CouldntCreateFile, FailurePath(), errno);
    }
    return true;
}

std::string File::GetFileName() const {
    return FileNameOf(path_);
}
std::string File::GetFileTitle() const {
    return FileTitleOf(path_);
}

std::string FileNameOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FileTitleOf(const std::string& path) {
    std::string name = FileNameOf(path);
    auto dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

std::string FolderOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool HasExtension(std::string_view path, std::string_view extension) {
    return path.size() >= extension.size() &&
           std::equal(extension.begin(), extension.end(),
                      path.end() - static_cast<std::ptrdiff_t>(extension.size()),
                      [](char lower, char c) {
                          return lower == std::tolower(static_cast<unsigned char>(c));
                      });
}

}  // namespace pixalto
