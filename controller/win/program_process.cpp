#include "program_process.h"

#include "wide.h"

#include <string>

namespace {

constexpr DWORD kExitWaitMs = 5000;

} // namespace

CProgramProcess::~CProgramProcess() {
    Release();
}

void CProgramProcess::Start(std::u16string_view commandLine) {
    Release();
    m_info = PROCESS_INFORMATION{};
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    // CreateProcessW may write into the command line.
    std::wstring line = ToWide(commandLine);
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                        nullptr, &startup, &m_info)) {
        m_info = PROCESS_INFORMATION{};
    }
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
    if (!TerminateProcess(m_info.hProcess, 1)) {
        return {Outcome::TerminateFailed};
    }
    if (WaitForSingleObject(m_info.hProcess, kExitWaitMs) != WAIT_OBJECT_0) {
        return {Outcome::WaitFailed};
    }
    KillResult result{Outcome::Ended};
    result.processHandleClosed = Close(m_info.hProcess);
    result.threadHandleClosed = Close(m_info.hThread);
    return result;
}

void CProgramProcess::Release() {
    Close(m_info.hProcess);
    Close(m_info.hThread);
}

bool CProgramProcess::Close(HANDLE& handle) {
    if (handle == nullptr) {
        return false;
    }
    const bool closed = CloseHandle(handle) != FALSE;
    handle = nullptr;
    return closed;
}
