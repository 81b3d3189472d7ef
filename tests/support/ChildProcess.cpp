#include "support/ChildProcess.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <stdexcept>
#include <thread>

namespace pixalto::testing {

std::string WithFileSizeLimit(std::uint64_t limit, const std::function<std::string()>& body) {
    int channel[2];
    if (::pipe(channel) != 0) {
        throw std::runtime_error("pipe failed");
    }
    const pid_t child = ::fork();
    if (child < 0) {
        throw std::runtime_error("fork failed");
    }
    if (child == 0) {
        ::close(channel[0]);
        // Without this, the write past the limit would kill the child.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit size{static_cast<rlim_t>(limit), static_cast<rlim_t>(limit)};
        ::setrlimit(RLIMIT_FSIZE, &size);
        const std::string result = body();
        std::size_t done = 0;
        while (done < result.size()) {
            ssize_t n = ::write(channel[1], result.data() + done, result.size() - done);
            if (n <= 0) {
                break;
            }
            done += static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string result;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(channel[0], buffer, sizeof buffer)) > 0) {
        result.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return "<the child process failed>";
    }
    return result;
}

namespace {

pid_t StartChild(const std::function<void()>& body) {
    const pid_t child = ::fork();
    if (child < 0) {
        throw std::runtime_error("fork failed");
    }
    if (child == 0) {
        body();
        ::_exit(0);
    }
    return child;
}

int SignalThatEnded(pid_t child) {
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
}

}  // namespace

int SignalThatEnds(const std::function<void()>& body) {
    return SignalThatEnded(StartChild(body));
}

int SignalThatEndsAfter(int sig, std::chrono::microseconds delay,
                        const std::function<void(const std::function<void()>& ready)>& body) {
    int channel[2];
    if (::pipe(channel) != 0) {
        throw std::runtime_error("pipe failed");
    }
    const pid_t child = StartChild([&] {
        ::close(channel[0]);
        body([&] {
            const char ready = 1;
            if (::write(channel[1], &ready, 1) != 1) {
                ::_exit(1);
            }
        });
    });
    ::close(channel[1]);
    char ready = 0;
    // Nothing to read when the child ended without saying it was ready.
    if (::read(channel[0], &ready, 1) == 1) {
        std::this_thread::sleep_for(delay);
        ::kill(child, sig);
    }
    ::close(channel[0]);
    return SignalThatEnded(child);
}

}  // namespace pixalto::testing
