#pragma once
// Building RAW files for the job tests: filler without any 0x10 byte (so only
// placed TIMs can be found), TIMs placed at offsets, sparse files past 4 GiB,
// and running a job to its end.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/File.h"
#include "raw/Job.h"
#include "raw/RecordingHost.h"
#include "raw/ScanFileJob.h"

namespace pixalto::testing {

using Bytes = std::vector<std::uint8_t>;

inline constexpr std::uint8_t kFillerByte = 0xA5;

inline Bytes Filler(std::size_t size) {
    return Bytes(size, kFillerByte);
}

inline void Place(Bytes& raw, std::size_t offset, const Bytes& tim) {
    if (raw.size() < offset + tim.size()) {
        raw.resize(offset + tim.size(), kFillerByte);
    }
    std::copy(tim.begin(), tim.end(), raw.begin() + static_cast<std::ptrdiff_t>(offset));
}

inline Bytes Slice(const Bytes& bytes, std::size_t offset, std::size_t size) {
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                 bytes.begin() + static_cast<std::ptrdiff_t>(offset + size));
}

// Writes bytes at offset of a new sparse file; returns false on failure.
inline bool WriteSparse(const std::string& path, std::uint64_t offset, const Bytes& bytes) {
    File file;
    return file.Open(path, File::Mode::CreateWrite) &&
           file.Seek(static_cast<std::int64_t>(offset)) == static_cast<std::int64_t>(offset) &&
           file.Write(bytes.data(), bytes.size());
}

inline Bytes ReadAt(const std::string& path, std::uint64_t offset, std::size_t size) {
    File file;
    Bytes out(size);
    if (!file.Open(path, File::Mode::Read) || file.Seek(static_cast<std::int64_t>(offset)) < 0) {
        return {};
    }
    out.resize(file.Read(out.data(), size));
    return out;
}

inline raw::JobState ScanInto(RecordingHost& host, const std::string& rawPath) {
    raw::ScanFileJob scan(host, rawPath);
    return raw::RunJob(scan);
}

}  // namespace pixalto::testing
