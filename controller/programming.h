#pragma once
// The running programming command as the controller sees it. The Windows implementation
// holds the process information (process and thread handles and ids) of the command.
#include <string_view>

enum class ProcessPoll {
    Ended,     // the process has ended
    Abandoned, // the wait reported an abandoned object
    Running,   // still running
    Failed,    // the poll failed, for example because there is no process
};

class ProgramProcess {
public:
    virtual ~ProgramProcess() = default;

    // Forgets an earlier command without ending it (its handles are closed), then runs
    // `commandLine` unchanged in a new console of its own, shown normally, with the
    // controller's environment and working directory. Whether it started is seen by polling.
    virtual void Start(std::u16string_view commandLine) = 0;
    // A process handle is held.
    virtual bool HasProcess() const = 0;
    // Looks at the process without waiting.
    virtual ProcessPoll Poll() = 0;
    // Ends the process with exit code 1.
    virtual bool Terminate() = 0;
    // Waits a few seconds at most until a terminated process has ended; false when it has
    // not, so that a process that will not end does not freeze the window.
    virtual bool WaitForExit() = 0;
    // Each closes one handle and forgets it; false when closing failed.
    virtual bool CloseProcessHandle() = 0;
    virtual bool CloseThreadHandle() = 0;
};
