// Test helper: starts threads until the system gives one of them the thread id on the
// command line, and keeps that thread until standard input ends, as an unrelated program
// handed a dead bus lock holder's id would. Exit status 0 when it held the id.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

DWORD wanted = 0;

DWORD WINAPI candidate(void*) {
    if (GetCurrentThreadId() == wanted) {
        char buffer[64];
        DWORD got = 0;
        while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof buffer, &got, nullptr) &&
               got != 0) {
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 || (wanted = std::strtoul(argv[1], nullptr, 10)) == 0) {
        std::printf("usage: thread_id_taker <thread id>\n");
        return 2;
    }
    const ULONGLONG deadline = GetTickCount64() + 20000;
    for (unsigned started = 1; GetTickCount64() < deadline; ++started) {
        DWORD id = 0;
        HANDLE thread = CreateThread(nullptr, 0, candidate, nullptr, 0, &id);
        if (thread == nullptr) {
            std::printf("CreateThread failed: %lu\n", GetLastError());
            return 2;
        }
        if (id == wanted) {
            std::printf("thread id %lu taken, after %u threads\n", id, started);
            std::fflush(stdout);
        }
        const DWORD limit = id == wanted ? 60000 : 5000;
        const bool ended = WaitForSingleObject(thread, limit) == WAIT_OBJECT_0;
        CloseHandle(thread);
        if (!ended) {
            std::printf("thread %lu did not end\n", id);
            return 2;
        }
        if (id == wanted) {
            return 0;
        }
    }
    std::printf("no thread got id %lu\n", wanted);
    return 1;
}
