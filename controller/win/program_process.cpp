#include "program_process.h"

#include "wide.h"

#include <string>

namespace {

constexpr DWORD kExitWaitMs = 5000;

} // namespace

CProgramProcess::~CProgramProcess() {
    CloseProcessHandle();
    CloseThreadHandle();
}

void CProgramProcess::Start(std::u16string_view commandLine) {
    CloseProcessHandle();
    CloseThreadHandle();
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
    case WAIT_ABANDONED:
        return ProcessPoll::Abandoned;
    case WAIT_TIMEOUT:
        return ProcessPoll::Running;
    default:
        return ProcessPoll::Failed;
    }
}

bool CProgramProcess::Terminate() {
    return TerminateProcess(m_info.hProcess, 1) != FALSE;
}

bool CProgramProcess::WaitForExit() {
    return WaitForSingleObject(m_info.hProcess, kExitWaitMs) == WAIT_OBJECT_0;
}

bool CProgramProcess::Close(HANDLE& handle) {
    if (handle == nullptr) {
        return false;
    }
    const bool closed = CloseHandle(handle) != FALSE;
    handle = nullptr;
    return closed;
}
