#include <gtest/gtest.h>

#include <string>

#include "resources/ResourceIds.h"
#include "resources/Resources.h"

namespace pixalto {
namespace {

// Every text that shows the version is written from the one version CMake
// sets, and reads exactly as the program has always shown it.
TEST(Version, EveryTextComesFromTheProjectVersion) {
    const ui::ControlTemplate& aboutLine = res::DialogResource(res::kAboutDialog).controls[1];
    const std::pair<std::string, std::string> cases[] = {
        {version::kNumber, "1.0.0.3"},
        {res::kVersionText, "1, 0, 0, 3"},
        {res::kProductName, "Pixalto 1.03b"},
        {aboutLine.text, "Pixalto Version 1.03b"},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(text, expected);
    }
}

}  // namespace
}  // namespace pixalto
