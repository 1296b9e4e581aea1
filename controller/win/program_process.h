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
    ProcessPoll Poll() override;
    KillResult Kill() override;
    void Release() override;

private:
    static bool Close(HANDLE& handle);

    PROCESS_INFORMATION m_info{};
};
