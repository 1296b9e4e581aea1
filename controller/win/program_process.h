#pragma once
// The programming command as a Windows process in a console of its own.
#include "programming.h"

#include <windows.h>

class CProgramProcess : public ProgramProcess {
public:
    CProgramProcess() = default;
    CProgramProcess(const CProgramProcess&) = delete;
    CProgramProcess& operator=(const CProgramProcess&) = delete;
    ~CProgramProcess() override;

    void Start(std::u16string_view commandLine) override;
    bool HasProcess() const override { return m_info.hProcess != nullptr; }
    ProcessPoll Poll() override;
    bool Terminate() override;
    // Waits a few seconds at most: a process that will not end must not freeze the window.
    bool WaitForExit() override;
    bool CloseProcessHandle() override { return Close(m_info.hProcess); }
    bool CloseThreadHandle() override { return Close(m_info.hThread); }

private:
    static bool Close(HANDLE& handle);

    PROCESS_INFORMATION m_info{};
};
