#include <gtest/gtest.h>

#include <string>

#include "resources/ResourceIds.h"
#include "resources/Resources.h"

namespace pixalto {
namespace {

// The About box's labels, in template order.
std::string AboutLabels() {
    std::string labels;
    for (const ui::ControlTemplate& control : res::DialogResource(res::kAboutDialog).controls) {
        if (control.kind == ui::ControlKind::Label) {
            labels += std::string(control.text) + "\n";
        }
    }
    return labels;
}

// Every text that shows the version is written from the one version CMake
// sets, and reads exactly as the program has always shown it.
TEST(Version, EveryTextComesFromTheProjectVersion) {
    const struct {
        const char* what;
        std::string text, expected;
    } cases[] = {
        {"project version", version::kNumber, "1.0.0.3"},
        {"version record", res::kVersionText, "1, 0, 0, 3"},
        {"product name", res::kProductName, "Pixalto 1.03b"},
        {"About box", AboutLabels(),
         "Pixalto Version 1.03b\nViews, edits and converts PlayStation TIM images.\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.text, c.expected) << c.what;
    }
}

}  // namespace
}  // namespace pixalto
