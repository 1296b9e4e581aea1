#pragma once
// The programming command as a Windows process in a console of its own, inside a job that
// holds every process it starts.
#include "programming.h"

#include <windows.h>

class CProgramProcess : public ProgramProcess {
public:
    CProgramProcess() = default;
    CProgramProcess(const CProgramProcess&) = delete;
    CProgramProcess& operator=(const CProgramProcess&) = delete;
    ~CProgramProcess() override;

    uint32_t Start(std::u16string_view commandLine) override;
    ProcessPoll Poll() override;
    KillResult Kill() override;
    void Release() override;

private:
    static bool Close(HANDLE& handle);
    // A job that ends its processes when its last handle is closed; null when none could
    // be made.
    static HANDLE MakeJob();
    void EndJob();

    PROCESS_INFORMATION m_info{};
    // Null when the command could not be put in a job (a system without nested jobs, where
    // qel itself runs in one): the command then runs as a plain process.
    HANDLE m_job = nullptr;
};
