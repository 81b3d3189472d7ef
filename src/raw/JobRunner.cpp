#include "raw/Job.h"

namespace pixalto::raw {

JobState RunJob(Job& job) {
    JobState state = job.Start();
    while (state == JobState::Running) {
        state = job.Step();
    }
    return job.End();
}

}  // namespace pixalto::raw
