#include "child_runs.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace bench {
namespace {

// The peak goes back on this descriptor: a child's ru_maxrss counts the pages it shared with
// the bench before exec, which grow with the trees the bench generated.
constexpr int peak_fd = 3;

} // namespace

child_run run_child(const char* self, const std::vector<std::string>& arguments) {
    int peak[2];
    if (pipe(peak) != 0) {
        std::perror("bench: pipe");
        std::exit(1);
    }
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        close(peak[0]);
        dup2(peak[1], peak_fd);
        std::vector<char*> argv = {const_cast<char*>(self)};
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        execv(self, argv.data());
        _exit(127);
    }
    close(peak[1]);
    int status = 0;
    waitpid(pid, &status, 0);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    char text[32] = {};
    const ssize_t size = read(peak[0], text, sizeof text - 1);
    close(peak[0]);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || size <= 0) {
        std::string command = self;
        for (const std::string& argument : arguments) {
            command += " " + argument;
        }
        std::fprintf(stderr, "bench: %s failed\n", command.c_str());
        std::exit(1);
    }
    return {seconds, std::strtod(text, nullptr) / 1024.0};
}

child_run best_of(int runs, const char* self, const std::vector<std::string>& arguments,
                  const std::function<void()>& before) {
    child_run best{INFINITY, 0};
    for (int i = 0; i < runs; ++i) {
        if (before) {
            before();
        }
        const child_run next = run_child(self, arguments);
        best.seconds = std::min(best.seconds, next.seconds);
        best.peak_mib = std::max(best.peak_mib, next.peak_mib);
    }
    return best;
}

void tell_peak() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("VmHWM:")) {
            const std::string kib = line.substr(6);
            [[maybe_unused]] const ssize_t written = write(peak_fd, kib.data(), kib.size());
        }
    }
}

} // namespace bench
