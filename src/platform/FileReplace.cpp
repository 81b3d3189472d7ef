#include "platform/FileReplace.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <random>

namespace pixalto {
namespace {

// Creates a new, empty file with a name no other file has, beside path, and
// returns that name ("" when the folder refuses). Creating it exclusively
// keeps two writers (or a stale file) from sharing a name.
std::string ReserveNameBeside(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    static const unsigned seed = std::random_device{}();
    const std::string stem = FolderOf(path) + "." + FileNameOf(path) + ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, "%x-%x-%x.tmp", seed,
                      static_cast<unsigned>(::getpid()), counter.fetch_add(1));
        std::string candidate = stem + suffix;
        int fd = ::open(candidate.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return candidate;
        }
        if (errno != EEXIST) {
            return {};
        }
    }
    return {};
}

}  // namespace

PendingFile::~PendingFile() {
    file_.Close();
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
    }
}

bool PendingFile::Create() {
    temporary_ = ReserveNameBeside(target_);
    return !temporary_.empty() && file_.Open(temporary_, File::Mode::CreateWrite);
}

bool PendingFile::Finish() {
    return file_.IsOpen() && file_.Close();
}

bool PendingFile::Commit() {
    if (temporary_.empty() || file_.IsOpen() ||
        ::rename(temporary_.c_str(), target_.c_str()) != 0) {
        return false;
    }
    temporary_.clear();
    return true;
}

bool MoveAside(const std::string& path, std::string& backup) {
    backup.clear();
    if (::access(path.c_str(), F_OK) != 0) {
        return errno == ENOENT;
    }
    std::string name = ReserveNameBeside(path);
    if (name.empty()) {
        return false;
    }
    if (::rename(path.c_str(), name.c_str()) != 0) {
        ::unlink(name.c_str());
        return false;
    }
    backup = std::move(name);
    return true;
}

void PutBack(const std::string& path, const std::string& backup) {
    if (backup.empty()) {
        ::unlink(path.c_str());
    } else {
        ::rename(backup.c_str(), path.c_str());
    }
}

void DropBackup(const std::string& backup) {
    if (!backup.empty()) {
        ::unlink(backup.c_str());
    }
}

}  // namespace pixalto
