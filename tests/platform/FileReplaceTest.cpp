#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <memory>
#include <span>

#include "messages/Catalogue.h"
#include "platform/FileReplace.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

namespace pixalto {
namespace {

namespace fs = std::filesystem;
using testing::ReadAll;
using testing::TempDir;
using Bytes = std::vector<std::uint8_t>;

// Replaces path with bytes through a pending file; false at the first step that fails.
bool Replace(const std::string& path, const std::string& text) {
    PendingFile pending(path);
    return pending.Create() && pending.file().Write(text.data(), text.size()) && pending.Finish() &&
           pending.Commit();
}

std::string Text(const std::string& path) {
    Bytes bytes = ReadAll(path);
    return {bytes.begin(), bytes.end()};
}

// Names in the folder other than the ones the test made: leftovers.
std::vector<std::string> Temporaries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::string name = entry.path().filename().string();
        if (name.rfind(".pixalto-", 0) == 0) {
            names.push_back(name);
        }
    }
    return names;
}

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

TEST(PendingFile, KeepsPermissionBitsAndGivesNewFilesTheUmasksDefault) {
    TempDir dir;
    // Set-ID and sticky bits too. The old file's mode is read back, as a
    // system may refuse some bits to a user who is not root.
    for (mode_t mode : {mode_t{0600}, mode_t{02755}, mode_t{01644}, mode_t{04711}, mode_t{07777}}) {
        const std::string old = dir.Write("old.tim", {1});
        ::chmod(old.c_str(), mode);
        const mode_t before = ModeOf(old);
        ASSERT_TRUE(Replace(old, "new"));
        EXPECT_EQ(ModeOf(old), before) << std::oct << mode;
        EXPECT_EQ(Text(old), "new");
    }

    for (mode_t mask : {mode_t{022}, mode_t{077}, mode_t{002}}) {
        const mode_t previous = ::umask(mask);
        const std::string fresh = dir.File("fresh" + std::to_string(mask) + ".tim");
        EXPECT_TRUE(Replace(fresh, "x"));
        ::umask(previous);
        EXPECT_EQ(ModeOf(fresh), 0666u & ~mask) << "umask " << mask;
    }
}

// A user who may write another user's file replaces it with a file of his
// own: a set-ID bit kept on it would let the file run with his rights.
TEST(PendingFile, DropsSetIdBitsWhereTheOwnerCantBeKept) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to write a file as another user";
    }
    constexpr uid_t kNobody = 65534;
    TempDir dir;
    ::chmod(dir.Path().c_str(), 0777);
    const std::string old = dir.Write("tool", {1});
    ::chmod(old.c_str(), 07777);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
            ::_exit(2);
        }
        ::_exit(Replace(old, "new") ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 2) {
        GTEST_SKIP() << "can't switch to another user here";
    }
    ASSERT_EQ(WEXITSTATUS(status), 0) << "the other user couldn't replace the file";
    struct stat info {};
    ASSERT_EQ(::stat(old.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, kNobody);
    EXPECT_EQ(info.st_mode & 07777, 01777u) << std::oct << (info.st_mode & 07777);
    EXPECT_EQ(Text(old), "new");
}

TEST(PendingFile, ReplacesWhatALinkPointsToAndKeepsTheLink) {
    TempDir dir;
    fs::create_directory(dir.Path() / "real");
    const std::string real = dir.Write("real/face.tim", {1, 2});
    fs::create_symlink("real/face.tim", dir.Path() / "relative.tim");
    fs::create_symlink(dir.Path() / "relative.tim", dir.Path() / "chain.tim");
    fs::create_symlink("real/missing.tim", dir.Path() / "dangling.tim");

    ASSERT_TRUE(Replace(dir.File("chain.tim"), "through two links"));
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "chain.tim"));
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "relative.tim"));
    EXPECT_EQ(Text(real), "through two links");

    ASSERT_TRUE(Replace(dir.File("dangling.tim"), "created"));
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "dangling.tim"));
    EXPECT_EQ(Text(dir.File("real/missing.tim")), "created");
    EXPECT_TRUE(Temporaries(dir.Path()).empty());
    EXPECT_TRUE(Temporaries(dir.Path() / "real").empty());
}

// Only regular files are replaced: a device, a FIFO or a folder at the
// target is refused before anything is written, and stays as it was.
TEST(PendingFile, RefusesTargetsThatAreNotRegularFiles) {
    TempDir dir;
    ::mkfifo(dir.File("pipe").c_str(), 0644);
    fs::create_directory(dir.Path() / "folder");
    fs::create_symlink("/dev/null", dir.Path() / "null-link");
    fs::create_symlink("loop-b", dir.Path() / "loop-a");
    fs::create_symlink("loop-a", dir.Path() / "loop-b");
    struct Case {
        std::string path;
        std::string reason;
    };
    const Case cases[] = {
        {dir.File("pipe"), "not a regular file"},
        {dir.File("folder"), "Is a directory"},
        {dir.File("null-link"), "not a regular file"},
        {"/dev/null", "not a regular file"},
        {dir.File("loop-a"), "Too many levels of symbolic links"},
        {dir.File("missing/x.tim"), "No such file or directory"},
    };
    for (const Case& c : cases) {
        PendingFile pending(c.path);
        EXPECT_FALSE(pending.Create()) << c.path;
        const std::string reason = msg::SystemReason(pending.LastError());
        EXPECT_NE(reason.find(c.reason), std::string::npos) << c.path << ": " << reason;
    }
    EXPECT_TRUE(fs::is_fifo(dir.Path() / "pipe"));
    EXPECT_TRUE(fs::is_empty(dir.Path() / "folder"));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_TRUE(Temporaries(dir.Path()).empty());
}

TEST(PendingFile, WorksForTheLongestFileName) {
    TempDir dir;
    const std::string longest = dir.File(std::string(251, 'n') + ".tim");  // 255 bytes
    ASSERT_TRUE(Replace(longest, "one"));
    ASSERT_TRUE(Replace(longest, "two"));
    EXPECT_EQ(Text(longest), "two");
    EXPECT_TRUE(Temporaries(dir.Path()).empty());
}

// Writers of the same target at the same time never trip over each other's
// temporary files; the target ends as one of them wrote it, whole.
TEST(PendingFile, SeveralProcessesReplaceTheSameTargetAtOnce) {
    TempDir dir;
    const std::string target = dir.File("shared.tim");
    std::vector<pid_t> children;
    for (int writer = 0; writer < 4; ++writer) {
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const std::string text(10'000 + writer, static_cast<char>('a' + writer));
            for (int round = 0; round < 40; ++round) {
                if (!Replace(target, text)) {
                    ::_exit(1);
                }
            }
            ::_exit(0);
        }
        children.push_back(child);
    }
    for (pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const std::string text = Text(target);
    ASSERT_GE(text.size(), 10'000u);
    const char writer = static_cast<char>(text.size() - 10'000 + 'a');
    EXPECT_EQ(text, std::string(text.size(), writer));
    EXPECT_TRUE(Temporaries(dir.Path()).empty());
}

// A stop while one file is written, and one while a whole group of files
// (more than a few, as a folder conversion writes them) has been flushed
// together but not yet renamed: every temporary goes and every target keeps
// its old bytes.
TEST(PendingFile, AStopBySignalLeavesNoTemporaryFile) {
    struct Case {
        const char* when;
        int files;
        bool flushedTogether;
    };
    const Case cases[] = {{"while one file is written", 1, false},
                          {"between a group's flush and its renames", 64, true}};
    for (const Case& c : cases) {
        for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
            TempDir dir;
            std::vector<std::string> targets;
            for (int i = 0; i < c.files; ++i) {
                targets.push_back(dir.Write("face" + std::to_string(i) + ".bmp",
                                            {7, static_cast<std::uint8_t>(i)}));
            }
            const int ended = testing::SignalThatEnds([&] {
                std::vector<std::unique_ptr<PendingFile>> group;
                std::vector<PendingFile*> files;
                for (const std::string& target : targets) {
                    group.push_back(std::make_unique<PendingFile>(target));
                    files.push_back(group.back().get());
                    if (!group.back()->Create() || !group.back()->file().Write("half", 4) ||
                        (c.flushedTogether && !group.back()->FinishLater())) {
                        ::_exit(1);
                    }
                }
                if (c.flushedTogether) {
                    const auto finished = std::make_unique<bool[]>(files.size());
                    FinishTogether(files, std::span(finished.get(), files.size()));
                    if (std::count(finished.get(), finished.get() + c.files, true) != c.files) {
                        ::_exit(1);
                    }
                }
                std::raise(sig);
            });
            EXPECT_EQ(ended, sig) << c.when;
            EXPECT_TRUE(Temporaries(dir.Path()).empty()) << c.when << ", signal " << sig;
            for (int i = 0; i < c.files; ++i) {
                EXPECT_EQ(ReadAll(targets[i]), (Bytes{7, static_cast<std::uint8_t>(i)}))
                    << c.when << ", signal " << sig;
            }
        }
    }
}

// A full disk while the file is written, or at the flush: the target keeps
// its old bytes, the temporary file goes, and the failure names the target.
TEST(PendingFile, AFailedWriteLeavesTheTargetAsItWas) {
    TempDir dir;
    const std::string target = dir.Write("face.tim", {1, 2, 3});
    const std::string result = testing::WithFileSizeLimit(100, [&] {
        PendingFile pending(target);
        const std::string text(500, 'x');
        const bool replaced = pending.Create() && pending.file().Write(text.data(), text.size()) &&
                              pending.Finish() && pending.Commit();
        return std::string(replaced ? "replaced" : "refused") + " " +
               msg::SystemReason(pending.LastError());
    });
    EXPECT_EQ(result.substr(0, 8), "refused ");
    EXPECT_EQ(result, "refused " + target + ": File too large");
    EXPECT_EQ(ReadAll(target), (Bytes{1, 2, 3}));
    EXPECT_TRUE(Temporaries(dir.Path()).empty());
}

TEST(PendingFile, CommitBothPutsTheFirstBackWhenTheSecondFails) {
    for (bool firstExisted : {true, false}) {
        TempDir dir;
        if (firstExisted) {
            dir.Write("face.tmext", {4, 5});
        }
        {
            PendingFile sidecar(dir.File("face.tmext"));
            PendingFile bmp(dir.File("face.bmp"));
            ASSERT_TRUE(sidecar.Create() && sidecar.file().Write("new", 3) && sidecar.Finish());
            ASSERT_TRUE(bmp.Create() && bmp.file().Write("bmp", 3) && bmp.Finish());
            // A folder takes the BMP's place after the checks: its rename fails.
            fs::create_directory(dir.Path() / "face.bmp");
            dir.Write("face.bmp/keep", {1});
            EXPECT_NE(CommitBoth(sidecar, bmp), ErrorCode::None);
        }
        if (firstExisted) {
            EXPECT_EQ(ReadAll(dir.File("face.tmext")), (Bytes{4, 5}));
        } else {
            EXPECT_FALSE(fs::exists(dir.Path() / "face.tmext"));
        }
        EXPECT_TRUE(Temporaries(dir.Path()).empty()) << firstExisted;
    }
}

}  // namespace
}  // namespace pixalto
