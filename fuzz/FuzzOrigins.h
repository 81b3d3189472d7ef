#pragma once
// The answers a fuzz target gives when a conversion asks for the origins that
// a BMP or PNG without its record lacks.

#include <cstdlib>
#include <optional>

#include "image/Convert.h"

namespace pixalto::fuzz {

// Closes the question once without an answer (the dialog's Escape), then
// answers with an X beyond the frame buffer's width.
class EscapeThenAnswer : public OriginsRequest {
  public:
    std::optional<Origins> AskOrigins(bool) override {
        if (asked_++ == 0) {
            return std::nullopt;
        }
        return Origins{70000, 2, 3, 4};
    }

  private:
    int asked_ = 0;
};

// For a file this program wrote itself, which carries its record: being
// asked is a fault.
class NeverAsked : public OriginsRequest {
  public:
    std::optional<Origins> AskOrigins(bool) override { std::abort(); }
};

}  // namespace pixalto::fuzz
