#pragma once
// The image library's files as its tests use them: bytes built in memory are
// written to a temporary folder and loaded from there (the reader takes an
// open file), and what a state writes is read back. Header only, for the
// tests that link the image library.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "image/Image.h"
#include "support/TempDir.h"

namespace pixalto::testing {

// Writes bytes as face.tim or face.bmp (and the sidecar's bytes as
// face.tmext when given) and loads the image that starts at offset.
inline Error LoadImageBytes(const std::vector<std::uint8_t>& bytes, ImageState& state, bool isTim,
                            const std::optional<std::vector<std::uint8_t>>& sidecar = std::nullopt,
                            std::int64_t offset = 0) {
    TempDir dir;
    const std::string path = dir.Write(isTim ? "face.tim" : "face.bmp", bytes);
    if (sidecar) {
        dir.Write("face.tmext", *sidecar);
    }
    File file;
    EXPECT_TRUE(file.Open(path, File::Mode::Read));
    file.Seek(offset);
    return LoadImage(state, file, isTim);
}

// The state of a TIM that loads.
inline ImageState LoadedTim(const std::vector<std::uint8_t>& bytes) {
    ImageState state;
    EXPECT_EQ(LoadImageBytes(bytes, state, true), ErrorCode::None);
    return state;
}

// The file the state writes, as a TIM or as a BMP.
inline std::vector<std::uint8_t> WrittenImage(const ImageState& state, bool asTim) {
    TempDir dir;
    EXPECT_EQ(WriteImageFile(state, dir.File("out"), asTim), ErrorCode::None);
    return ReadAll(dir.File("out"));
}

// Answers the request for the origins from a script (the last answer again
// once the script is used up), and records each ask.
class ScriptedOrigins : public OriginsRequest {
  public:
    explicit ScriptedOrigins(std::vector<std::optional<Origins>> answers = {Origins{1, 1, 2, 2}})
        : answers_(std::move(answers)) {}
    std::optional<Origins> AskOrigins(bool hasClut) override {
        hasClutSeen.push_back(hasClut);
        return answers_.at(std::min(hasClutSeen.size(), answers_.size()) - 1);
    }
    std::vector<bool> hasClutSeen;

  private:
    std::vector<std::optional<Origins>> answers_;
};

}  // namespace pixalto::testing
