#pragma once
// A RAW-file job runs in slices so that a window can keep its progress bar
// live: Start once, Step until the job is no longer Running, then End. The
// scan dialog calls Start when it is shown, Step on each tick of a 0 ms timer
// (stopping the timer around the step, so that a question asked inside a step
// can't let another step begin), and End when it is hidden, ending itself with
// End's result. RunJob does the same in a plain loop.

#include <cstddef>
#include <cstdint>

#include "platform/Error.h"

namespace pixalto::raw {

// What a job does; the progress dialog runs every kind.
enum class JobKind : std::uint8_t { Scan = 0, Extract = 1, Insert = 2 };

// How a job stands, and how it ended. The values are the job dialog's result
// codes (OK and Cancel), so that the dialog ends with the job's outcome.
enum class JobState {
    Running = 0,   // call Step again
    Finished = 1,  // the job ran to its end
    Stopped = 2,   // the job stopped on a failure; its host has been told
};

// The two ways a run ends.
inline constexpr JobState kJobFinished = JobState::Finished;
inline constexpr JobState kJobStopped = JobState::Stopped;

// Every file copy and the scan window go through one buffer of this size.
inline constexpr std::size_t kWorkBufferSize = 30'000;

class Job {
  public:
    virtual ~Job() = default;
    virtual JobState Start() = 0;
    virtual JobState Step() = 0;
    // Closes whatever the job still holds open and returns how it ended:
    // kJobFinished, or kJobStopped after the failure Failure() holds.
    virtual JobState End() = 0;

    // The failure that stopped the job; none while it runs or when it finished.
    const Error& Failure() const { return failure_; }

  protected:
    JobState Outcome() const { return failure_ ? kJobStopped : kJobFinished; }

    Error failure_;
};

// Start, Step while Running, End; returns End's result.
JobState RunJob(Job& job);

}  // namespace pixalto::raw
