#include "platform/File.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/FileFailure.h"

namespace pixalto {

File::~File() {
    Close();
}

File::File(File&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
    }
    return *this;
}

bool File::Open(const std::string& path, Mode mode) {
    Close();
    int flags = O_CLOEXEC;
    switch (mode) {
        case Mode::Read:
            flags |= O_RDONLY;
            break;
        case Mode::CreateWrite:
            flags |= O_WRONLY | O_CREAT | O_TRUNC;
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
        NoteFileFailure(path, errno);
        return false;
    }
    // Opening a folder for reading succeeds on POSIX; it is not a file.
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        NoteFileFailure(path, S_ISDIR(info.st_mode) ? EISDIR : errno);
        ::close(fd);
        return false;
    }
    fd_ = fd;
    path_ = path;
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
            NoteFileFailure(path_, errno);
        }
        if (n <= 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
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
            NoteFileFailure(path_, n < 0 ? errno : ENOSPC);
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::int64_t File::Seek(std::int64_t offset, SeekFrom from) {
    if (fd_ < 0) {
        return -1;
    }
    int whence = from == SeekFrom::Begin     ? SEEK_SET
                 : from == SeekFrom::Current ? SEEK_CUR
                                             : SEEK_END;
    return static_cast<std::int64_t>(::lseek(fd_, static_cast<off_t>(offset), whence));
}

std::int64_t File::GetPosition() const {
    if (fd_ < 0) {
        return -1;
    }
    return static_cast<std::int64_t>(::lseek(fd_, 0, SEEK_CUR));
}

std::int64_t File::GetLength() const {
    struct stat info {};
    if (fd_ < 0 || ::fstat(fd_, &info) != 0) {
        return -1;
    }
    return static_cast<std::int64_t>(info.st_size);
}

bool File::Close() {
    if (fd_ < 0) {
        return true;
    }
    if (::close(std::exchange(fd_, -1)) != 0 && errno != EINTR) {
        NoteFileFailure(path_, errno);
        return false;
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

}  // namespace pixalto
