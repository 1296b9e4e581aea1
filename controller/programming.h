#pragma once
// The running programming command as the controller sees it: started, polled on the timer,
// killed when it overruns, released once judged.
#include <cstdint>
#include <string_view>

enum class ProcessPoll {
    Ended,   // the process has ended
    Running, // still running
    Failed,  // the poll failed, for example because there is no process
};

// How a kill went, in the order its steps are taken.
struct KillResult {
    enum class Outcome {
        NoProcess,       // nothing was running
        TerminateFailed, // the process could not be terminated
        WaitFailed,      // terminated, but it did not end within the wait
        Ended,           // it ended; its handles were closed
    };
    Outcome outcome = Outcome::Ended;
    // With Ended: whether closing each handle worked.
    bool processHandleClosed = true;
    bool threadHandleClosed = true;
};

class ProgramProcess {
public:
    virtual ~ProgramProcess() = default;

    // Releases an earlier command, then runs `commandLine` unchanged in a new console of
    // its own, shown normally, with the controller's environment and working directory.
    // 0 when it started, else the system's error code. Every process it starts belongs to
    // it.
    virtual uint32_t Start(std::u16string_view commandLine) = 0;
    // Looks at the command's own process without waiting.
    virtual ProcessPoll Poll() = 0;
    // Ends the command and every process it started with exit code 1 and waits a few
    // seconds at most until its own process has ended, so that a process that will not end
    // does not freeze the window; then forgets it.
    virtual KillResult Kill() = 0;
    // Forgets the command; whatever it started that still runs is ended, so nothing of an
    // earlier run can write the next run's result file.
    virtual void Release() = 0;
};
