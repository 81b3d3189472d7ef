#pragma once
// A byte-exact file object with 64-bit positions: every file the program
// reads or writes (images, RAW files, extraction lists) goes through it.
// Plain POSIX underneath, no Qt, so the image and RAW logic stays headless.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/Error.h"

namespace pixalto {

class File {
  public:
    enum class Mode {
        Read,          // existing regular file, read only
        ReadRaw,       // existing regular file or block device (a disc in a drive), read only
        CreateWrite,   // create, or truncate an existing file, write only
        CreateNew,     // create a file that must not exist yet, write only
        WriteInPlace,  // existing regular file or block device, read and write, never
                       // created or truncated
    };
    enum class SeekFrom { Begin, Current, End };

    File() = default;
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;

    // Opens path in the given mode; false when the file can't be opened
    // (LastError says why).
    // A file already open is closed first. Reading never opens a FIFO, socket,
    // character device or folder: a FIFO would block the program for ever.
    bool Open(const std::string& path, Mode mode);
    // Opens an anonymous file in memory holding bytes, for reading, as if it
    // were a file named name: readers that take a file can then read bytes
    // gathered from elsewhere (a TIM spread over a disc image's sectors).
    bool OpenMemory(const std::uint8_t* bytes, std::size_t count, const std::string& name);
    bool IsOpen() const { return fd_ >= 0; }

    // Reads up to count bytes at the current position and returns how many
    // were read: fewer only at the end of the file or on a read error.
    std::size_t Read(void* buffer, std::size_t count);
    // Writes all count bytes; false when any of them could not be written.
    bool Write(const void* buffer, std::size_t count);
    // Writes the pieces one after the other, in as few system calls as the
    // system allows (one for a file's worth of headers and buffers).
    bool WritePieces(std::span<const std::span<const std::uint8_t>> pieces);
    // Flushes what was written to the disk; false when the system reports a
    // failure (the data may not be there).
    bool Sync();

    // Moves the position; returns the new absolute position, or the failure
    // (also kept as LastError).
    Result<std::int64_t> Seek(std::int64_t offset, SeekFrom from = SeekFrom::Begin);
    void SeekToBegin() { Seek(0, SeekFrom::Begin); }
    std::int64_t GetPosition() const;
    std::int64_t GetLength() const;

    // Closes the file; false when the system reported a failure (for a
    // written file, that data may not have reached the disk).
    bool Close();

    // Why the last operation that failed on this file failed: code
    // CouldntOpenFile for opening and reading, CouldntCreateFile for writing,
    // with the path and the system's errno. Opening again clears it. Callers
    // give it their own code with Error::As.
    const Error& LastError() const { return error_; }

    // Records the file's failures under name instead of its path, until it
    // is opened again: a temporary file reports as the file it will replace,
    // the one the user asked for.
    void ReportFailuresAs(std::string name) { failurePath_ = std::move(name); }

    // The path as given to Open, its last component, and that component
    // without its extension.
    const std::string& GetFilePath() const { return path_; }
    std::string GetFileName() const;
    std::string GetFileTitle() const;

  private:
    const std::string& FailurePath() const { return failurePath_.empty() ? path_ : failurePath_; }
    // Records a failure about path; always false, for the caller to return.
    bool Fail(ErrorCode code, const std::string& path, int error, std::string reason = {});

    int fd_ = -1;
    std::string path_;
    std::string failurePath_;  // "" for path_
    bool blockDevice_ = false;
    // A file opened to read keeps its length and position here, so that the
    // readers' checks against the file's size cost no system call; -1
    // otherwise.
    std::int64_t length_ = -1;
    std::int64_t position_ = -1;
    Error error_;
};

// The reason given when a path names something other than a file the
// operation can use (a device, a FIFO, a socket).
inline constexpr const char* kNotARegularFile = "not a regular file";

// Name helpers that the file object and callers building sibling paths share.
std::string FileNameOf(const std::string& path);
std::string FileTitleOf(const std::string& path);
std::string FolderOf(const std::string& path);  // with its trailing '/', or "" for a bare name
// Whether path ends in extension (its dot included, written in lower case),
// whatever the case of the path's letters: "PIC.TIM" ends in ".tim".
bool HasExtension(std::string_view path, std::string_view extension);

}  // namespace pixalto
