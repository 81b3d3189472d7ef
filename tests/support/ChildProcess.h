#pragma once
// Running part of a test in a child process: to fill the disk at a chosen
// size (as root, where permissions stop nothing), or to stop a program in the
// middle of its work with a signal.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

namespace pixalto::testing {

// Runs body in a child whose files can't grow past limit bytes (writes there
// fail as on a full disk) and returns the text body returned, for the test to
// check. Files the child writes stay for the test to look at.
std::string WithFileSizeLimit(std::uint64_t limit, const std::function<std::string()>& body);

// Runs body in a child and returns the signal that ended it (0 when it exited).
int SignalThatEnds(const std::function<void()>& body);

// Runs body in a child and, once body has called the ready function it is
// given, waits delay and sends the child sig. Returns the signal that ended
// the child (0 when it exited first).
int SignalThatEndsAfter(int sig, std::chrono::microseconds delay,
                        const std::function<void(const std::function<void()>& ready)>& body);

}  // namespace pixalto::testing
