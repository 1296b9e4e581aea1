#include "program_process.h"

#include "wide.h"

#include <string>

namespace {

constexpr DWORD kExitWaitMs = 5000;

} // namespace

CProgramProcess::~CProgramProcess() {
    Release();
}

HANDLE CProgramProcess::MakeJob() {
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (job == nullptr) {
        return nullptr;
    }
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
        CloseHandle(job);
        return nullptr;
    }
    return job;
}

uint32_t CProgramProcess::Start(std::u16string_view commandLine) {
    Release();
    m_info = PROCESS_INFORMATION{};
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    // CreateProcessW may write into the command line.
    std::wstring line = ToWide(commandLine);
    // Suspended until it is in the job, so that no child it starts can escape it.
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE,
                        CREATE_NEW_CONSOLE | CREATE_SUSPENDED, nullptr, nullptr, &startup,
                        &m_info)) {
        const DWORD error = GetLastError();
        m_info = PROCESS_INFORMATION{};
        return error;
    }
    m_job = MakeJob();
    if (m_job != nullptr && !AssignProcessToJobObject(m_job, m_info.hProcess)) {
        Close(m_job);
    }
    ResumeThread(m_info.hThread);
    return 0;
}

ProcessPoll CProgramProcess::Poll() {
    switch (WaitForSingleObject(m_info.hProcess, 0)) {
    case WAIT_OBJECT_0:
        return ProcessPoll::Ended;
    case WAIT_TIMEOUT:
        return ProcessPoll::Running;
    default:
        return ProcessPoll::Failed;
    }
}

KillResult CProgramProcess::Kill() {
    using Outcome = KillResult::Outcome;
    if (m_info.hProcess == nullptr) {
        return {Outcome::NoProcess};
    }
    const bool terminated = m_job != nullptr ? TerminateJobObject(m_job, 1) != FALSE
                                             : TerminateProcess(m_info.hProcess, 1) != FALSE;
    if (!terminated) {
        return {Outcome::TerminateFailed};
    }
    if (WaitForSingleObject(m_info.hProcess, kExitWaitMs) != WAIT_OBJECT_0) {
        return {Outcome::WaitFailed};
    }
    KillResult result{Outcome::Ended};
    result.processHandleClosed = Close(m_info.hProcess);
    result.threadHandleClosed = Close(m_info.hThread);
    EndJob();
    return result;
}

void CProgramProcess::Release() {
    Close(m_info.hProcess);
    Close(m_info.hThread);
    EndJob();
}

// Closing the last handle ends the job's processes too; terminating first makes it so
// whatever the system does with a handle someone else might hold.
void CProgramProcess::EndJob() {
    if (m_job != nullptr) {
        TerminateJobObject(m_job, 1);
        Close(m_job);
    }
}

bool CProgramProcess::Close(HANDLE& handle) {
    if (handle == nullptr) {
        return false;
    }
    const bool closed = CloseHandle(handle) != FALSE;
    handle = nullptr;
    return closed;
}
