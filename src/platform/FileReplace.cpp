#include "platform/FileReplace.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <random>
#include <vector>

namespace pixalto {
namespace {

// --- Cleaning up when the program is stopped -------------------------------
//
// Every temporary file (and every old file kept aside during a two-file
// commit) has a slot here while it exists. A handler for SIGINT, SIGTERM and
// SIGHUP carries out each slot's action and then lets the signal stop the
// program as it would have. The slots are plain arrays and atomics so that the
// handler does nothing a signal handler may not.

enum SlotAction : int {
    kFree = 0,
    kFilling,  // being written by the program; the handler leaves it alone
    kRemove,   // unlink path
    kRestore,  // rename path back to restoreTo
};

// Room for a whole group of a folder conversion (a BMP and its sidecar for
// each file) and the old file CommitBoth keeps aside.
constexpr int kSlotCount = kMostPendingFiles + 8;
constexpr std::size_t kSlotPathSize = 4096;
// Most paths are short: those are kept packed, a few slots to a page, so that
// a group's slots touch a few pages instead of one each.
constexpr std::size_t kShortPathSize = 248;

struct CleanupSlot {
    std::atomic<int> action{kFree};
    char path[kShortPathSize]{};  // "" when the path is in gLongPaths
};

// Initialised at compile time: the slots are zero pages that the program only
// touches when it uses them, not megabytes written at every start.
constinit CleanupSlot gSlots[kSlotCount];
constinit char gLongPaths[kSlotCount][kSlotPathSize];
constinit char gRestoreTo[kSlotCount][kSlotPathSize];
// Where the next free slot is looked for first: after the last one taken, or
// the lowest one freed since, so that a whole group takes its slots without
// going over the taken ones each time.
std::atomic<int> gNextSlot{0};

// Temporaries may be created on several threads (a folder conversion's
// workers). A stop waits for those being created, between their open and
// the arming of their slot, and no new one starts once it has begun.
std::atomic<int> gCreating{0};
std::atomic<bool> gStopping{false};
thread_local bool tCreating = false;

// Waits, within reason, until no other thread is between creating a
// temporary and arming its slot.
void AwaitCreations() {
    gStopping.store(true);
    const int own = tCreating ? 1 : 0;
    for (int waited = 0; gCreating.load() > own && waited < 1000; ++waited) {
        const timespec millisecond{0, 1'000'000};
        ::nanosleep(&millisecond, nullptr);
    }
}

extern "C" void CleanUpAndStop(int sig) {
    AwaitCreations();
    for (int i = 0; i < kSlotCount; ++i) {
        const int action = gSlots[i].action.exchange(kFree);
        const char* path = gSlots[i].path[0] != '\0' ? gSlots[i].path : gLongPaths[i];
        if (action == kRemove) {
            ::unlink(path);
        } else if (action == kRestore) {
            ::rename(path, gRestoreTo[i]);
            // When both names were links to the same file, rename does
            // nothing: the spare name still has to go.
            ::unlink(path);
        }
    }
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

void InstallCleanupHandlers() {
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction current {};
        ::sigaction(sig, nullptr, &current);
        // A signal the program ignores (nohup) or handles itself stays as it is.
        if (current.sa_handler != SIG_DFL) {
            continue;
        }
        struct sigaction action {};
        action.sa_handler = CleanUpAndStop;
        sigemptyset(&action.sa_mask);
        ::sigaction(sig, &action, nullptr);
    }
}

void CopyPath(char (&to)[kSlotPathSize], const std::string& from) {
    std::memcpy(to, from.c_str(), from.size() + 1);
}

// Gives path a slot with the action; -1 when the paths are too long to keep
// or every slot is taken (the file is then not cleaned up on a stop).
int Track(const std::string& path, SlotAction action, const std::string& restoreTo = {}) {
    static std::once_flag installed;
    std::call_once(installed, InstallCleanupHandlers);
    if (path.size() >= kSlotPathSize || restoreTo.size() >= kSlotPathSize) {
        return -1;
    }
    const int first = gNextSlot.load();
    for (int n = 0; n < kSlotCount; ++n) {
        const int i = (first + n) % kSlotCount;
        int expected = kFree;
        if (gSlots[i].action.load(std::memory_order_relaxed) == kFree &&
            gSlots[i].action.compare_exchange_strong(expected, kFilling)) {
            if (path.size() < kShortPathSize) {
                std::memcpy(gSlots[i].path, path.c_str(), path.size() + 1);
            } else {
                gSlots[i].path[0] = '\0';
                CopyPath(gLongPaths[i], path);
            }
            // Only a restore reads it: the page under it stays untouched.
            if (action == kRestore) {
                CopyPath(gRestoreTo[i], restoreTo);
            }
            gSlots[i].action.store(action);
            gNextSlot.store((i + 1) % kSlotCount);
            return i;
        }
    }
    return -1;
}

void Arm(int slot, SlotAction action) {
    if (slot >= 0) {
        gSlots[slot].action.store(action);
    }
}

void Untrack(int& slot) {
    if (slot >= 0) {
        gSlots[slot].action.store(kFree);
        // The next file takes the lowest slot freed, whose pages are already
        // in memory, instead of touching fresh ones further on.
        int next = gNextSlot.load();
        while (slot < next && !gNextSlot.compare_exchange_weak(next, slot)) {
        }
        slot = -1;
    }
}

// Marks the creation of a temporary for the length of its scope. Once a stop
// has begun, the thread waits here for it to end the program.
class Creation {
  public:
    Creation() {
        for (;;) {
            gCreating.fetch_add(1);
            if (!gStopping.load()) {
                break;
            }
            gCreating.fetch_sub(1);
            ::pause();
        }
        tCreating = true;
    }
    ~Creation() {
        tCreating = false;
        gCreating.fetch_sub(1);
    }
    Creation(const Creation&) = delete;
    Creation& operator=(const Creation&) = delete;
};

// --- Names --------------------------------------------------------------

// A short name beside path that no file has yet. It doesn't repeat the
// target's name, so a target name of 255 bytes still gets one.
// The process's part of the names: its id, asked for once and again in a
// child after fork, which would otherwise try the names its parent takes.
std::atomic<unsigned> gProcessId{0};

void NoteProcessId() {
    gProcessId.store(static_cast<unsigned>(::getpid()));
}

std::string CandidateNameBeside(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    static const unsigned seed = std::random_device{}();
    static std::once_flag noted;
    std::call_once(noted, [] {
        NoteProcessId();
        ::pthread_atfork(nullptr, nullptr, NoteProcessId);
    });
    const unsigned mixed =
        (seed ^ (gProcessId.load() * 2654435761u)) + counter.fetch_add(1) * 40503u;
    char name[32];
    std::snprintf(name, sizeof name, ".pixalto-%08x.tmp", mixed);
    return FolderOf(path) + name;
}

constexpr int kNameAttempts = 100;

Error WriteFailure(const std::string& path, int error, std::string reason = {}) {
    return Error(ErrorCode::CouldntCreateFile, path, error, std::move(reason));
}

// Follows path's chain of symbolic links to the file that a write replaces
// (which need not exist yet). Fills info with the status of the file found (or exists with false),
// for the checks that follow.
bool ResolveLinks(std::string path, std::string& resolved, struct stat& info, bool& exists,
                  Error& failure) {
    for (int depth = 0; depth < 40; ++depth) {
        if (::lstat(path.c_str(), &info) != 0) {
            if (errno == ENOENT) {
                resolved = path;
                exists = false;
                return true;
            }
            failure = WriteFailure(path, errno);
            return false;
        }
        if (!S_ISLNK(info.st_mode)) {
            resolved = path;
            exists = true;
            return true;
        }
        std::string link(4096, '\0');
        const ssize_t length = ::readlink(path.c_str(), link.data(), link.size());
        if (length < 0 || static_cast<std::size_t>(length) >= link.size()) {
            failure = WriteFailure(path, length < 0 ? errno : ENAMETOOLONG);
            return false;
        }
        link.resize(static_cast<std::size_t>(length));
        path = link.front() == '/' ? link : FolderOf(path) + link;
    }
    failure = WriteFailure(path, ELOOP);
    return false;
}

// Refuses a destination that exists but is not a regular file the user may
// write; info is its status, the end of its chain of links.
Error CheckDestination(const std::string& destination, const struct stat& info, bool exists) {
    if (!exists) {
        return {};
    }
    if (S_ISDIR(info.st_mode)) {
        return WriteFailure(destination, EISDIR);
    }
    if (!S_ISREG(info.st_mode)) {
        return WriteFailure(destination, ENOTSUP, kNotARegularFile);
    }
    if (::access(destination.c_str(), W_OK) != 0) {
        return WriteFailure(destination, errno);
    }
    return {};
}

// A second name for the file at path, so that it can come back after path
// has been replaced; "" when the folder can't give one.
std::string LinkAside(const std::string& path) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string candidate = CandidateNameBeside(path);
        if (::link(path.c_str(), candidate.c_str()) == 0) {
            return candidate;
        }
        if (errno != EEXIST) {
            return {};
        }
    }
    return {};
}

// Gives the new file at path the old file's owner, group and all of its mode
// bits. Only root may give a file away; where the owner or group can't be
// kept, the set-user-ID and set-group-ID bits go, as chown clears them: the
// program would otherwise run with the rights of whoever wrote the file.
void KeepOwnerAndMode(const std::string& path, const struct stat& old) {
    mode_t mode = old.st_mode & 07777;
    // Owner first: changing it clears the set-id bits that chmod restores.
    if (::chown(path.c_str(), old.st_uid, old.st_gid) != 0) {
        mode &= ~static_cast<mode_t>(S_ISUID | S_ISGID);
    }
    ::chmod(path.c_str(), mode);
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// Flushes folder's entries, or everything written to its file system (one
// journal commit for a whole group of new files); the errno of a failure.
int FlushFolder(const std::string& folder, bool wholeFileSystem) {
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    const int error = (wholeFileSystem ? ::syncfs(fd) : ::fsync(fd)) == 0 ? 0 : errno;
    ::close(fd);
    return error;
}

}  // namespace

PendingFile::~PendingFile() {
    file_.Close();
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
    }
    Untrack(cleanupSlot_);
}

bool PendingFile::Create() {
    struct stat old {};
    bool exists = false;
    error_ = {};
    if (!ResolveLinks(target_, destination_, old, exists, error_)) {
        return false;
    }
    if ((error_ = CheckDestination(destination_, old, exists))) {
        return false;
    }
    replacing_ = exists;
    const Creation creation;
    for (int attempt = 0; attempt < kNameAttempts && temporary_.empty(); ++attempt) {
        std::string candidate = CandidateNameBeside(destination_);
        // The slot is ready before the file exists, and armed once the file
        // is ours: a name that turns out to be taken is someone else's file.
        cleanupSlot_ = Track(candidate, kFilling);
        if (file_.Open(candidate, File::Mode::CreateNew)) {
            Arm(cleanupSlot_, kRemove);
            temporary_ = std::move(candidate);
            // A full disk is the user's file not being written; the
            // temporary's name would mean nothing to them.
            file_.ReportFailuresAs(target_);
            break;
        }
        Untrack(cleanupSlot_);
        if (file_.LastError().sysErrno != EEXIST) {
            error_ = WriteFailure(target_, file_.LastError().sysErrno, file_.LastError().reason);
            return false;
        }
    }
    if (temporary_.empty()) {
        error_ = WriteFailure(target_, EEXIST);
        return false;
    }
    if (exists) {
        KeepOwnerAndMode(temporary_, old);
    }
    return true;
}

bool PendingFile::Finish() {
    return file_.IsOpen() && file_.Sync() && file_.Close();
}

bool PendingFile::FinishLater() {
    flushLater_ = file_.IsOpen() && file_.Close();
    return flushLater_;
}

bool PendingFile::Commit() {
    if (temporary_.empty() || file_.IsOpen() || flushLater_) {
        return false;
    }
    if (::rename(temporary_.c_str(), destination_.c_str()) != 0) {
        error_ = WriteFailure(target_, errno);
        return false;
    }
    temporary_.clear();
    Untrack(cleanupSlot_);
    return true;
}

void FinishTogether(std::span<PendingFile* const> files, std::span<bool> finished) {
    std::vector<std::pair<std::string, int>> folders;  // each folder's flush: its errno
    for (std::size_t i = 0; i < files.size(); ++i) {
        PendingFile& pending = *files[i];
        finished[i] = false;
        if (!pending.flushLater_) {
            continue;
        }
        std::string folder = FolderOf(pending.temporary_);
        auto flush = std::find_if(folders.begin(), folders.end(),
                                  [&](const auto& entry) { return entry.first == folder; });
        if (flush == folders.end()) {
            const int error = FlushFolder(folder, /*wholeFileSystem=*/true);
            flush = folders.emplace(folders.end(), std::move(folder), error);
        }
        pending.flushLater_ = false;
        if (flush->second != 0) {
            pending.error_ = WriteFailure(pending.target_, flush->second);
        } else {
            finished[i] = true;
        }
    }
}

void LeaveStopsToOtherThreads() {
    sigset_t stops;
    sigemptyset(&stops);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        sigaddset(&stops, sig);
    }
    ::pthread_sigmask(SIG_BLOCK, &stops, nullptr);
}

void SyncFoldersOf(std::span<PendingFile* const> files) {
    std::vector<std::string> synced;
    for (PendingFile* pending : files) {
        std::string folder = FolderOf(pending->Destination());
        if (std::find(synced.begin(), synced.end(), folder) != synced.end()) {
            continue;
        }
        SyncFolder(folder);
        synced.push_back(std::move(folder));
    }
}

void SyncFolder(const std::string& folder) {
    // A folder that can't be flushed (some file systems refuse) still holds
    // the renamed files; there is nothing better to do.
    static_cast<void>(FlushFolder(folder, /*wholeFileSystem=*/false));
}

Error CommitBoth(PendingFile& first, PendingFile& second) {
    const std::string& destination = first.Destination();
    // Create looked for the destination: one that wasn't there then needs no
    // second look (a folder conversion's sidecars are mostly new).
    const std::string backup = first.replacing_ ? LinkAside(destination) : std::string();
    const bool hadOld = !backup.empty() || (first.replacing_ && Exists(destination));
    // From here to the second rename, a stop undoes the first one.
    int slot = !backup.empty() ? Track(backup, kRestore, destination)
               : !hadOld       ? Track(destination, kRemove)
                               : -1;
    if (!first.Commit()) {
        Untrack(slot);
        if (!backup.empty()) {
            ::unlink(backup.c_str());
        }
        return first.LastError();
    }
    if (!second.Commit()) {
        Untrack(slot);
        if (!backup.empty()) {
            ::rename(backup.c_str(), destination.c_str());
        } else if (!hadOld) {
            ::unlink(destination.c_str());
        }
        return second.LastError();
    }
    Untrack(slot);
    if (!backup.empty()) {
        ::unlink(backup.c_str());
    }
    return {};
}

}  // namespace pixalto
