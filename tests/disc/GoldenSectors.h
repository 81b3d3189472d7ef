#pragma once
// The golden raw sectors in tests/data/disc (11 sectors of a MODE2/2352
// track) and their 2,048-byte data view.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace pixalto::testing {

inline std::string GoldenPath(const std::string& name) {
    return std::string(PIXALTO_TESTDATA_DIR) + "/disc/" + name;
}

// Fails the calling test with a clear message when the golden data is
// not where the build expects it.
inline std::vector<std::uint8_t> ReadGolden(const std::string& name) {
    std::string path = GoldenPath(name);
    if (!std::filesystem::is_regular_file(path)) {
        ADD_FAILURE() << "missing test data " << path
                      << ": tests/data/disc belongs to the checkout";
        return {};
    }
    return ReadAll(path);
}

}  // namespace pixalto::testing
