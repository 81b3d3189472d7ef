#pragma once
// A RAW-file job runs in slices so that a window can keep its progress bar
// live: Start once, Step until the job is no longer Running, then End. The
// scan dialog calls Start when it is shown, Step on each tick of a 0 ms timer
// (stopping the timer around the step, so that a question asked inside a step
// can't let another step begin), and End when it is hidden, ending itself with
// End's result. RunJob does the same in a plain loop.

#include <cstddef>
#include <cstdint>

namespace pixalto::raw {

// What a job does; the progress dialog runs every kind.
enum class JobKind : std::uint8_t { Scan = 0, Extract = 1, Insert = 2 };

enum class JobState {
    Running,   // call Step again
    Finished,  // the job ran to its end
    Stopped,   // the job stopped on an error; its message has been shown
};

// Results a run ends with: the dialog's result code.
inline constexpr int kJobFinished = 1;
inline constexpr int kJobStopped = 2;

// Every file copy and the scan window go through one buffer of this size.
inline constexpr std::size_t kWorkBufferSize = 30'000;

class Job {
  public:
    virtual ~Job() = default;
    virtual JobState Start() = 0;
    virtual JobState Step() = 0;
    // Closes whatever the job still holds open and returns the result:
    // kJobFinished or kJobStopped.
    virtual int End() = 0;
};

// Start, Step while Running, End; returns End's result.
int RunJob(Job& job);

}  // namespace pixalto::raw
