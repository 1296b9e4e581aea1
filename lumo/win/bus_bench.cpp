// Bus benchmark: a 64-byte text from this process to a child process, through the bus
// and, as the baseline, through raw PostMessageW plus the same copy via shared memory.
// Prints throughput (posts per second) and post-to-handler latency (median, 99th).
#include "lumo_api.h"
#include "type_word.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const UINT kWmHello = WM_APP + 1; // child to parent: wParam = child window
const UINT kWmRaw = WM_APP + 2;   // parent to child: wParam = slot
const UINT kWmAck = WM_APP + 3;   // child to parent: one batch handled
const UINT kWmPhase = WM_APP + 4; // parent to child: wParam = next phase
const int kPayload = 64;
const int kSlots = 1024;
const int kThroughputPosts = 50000;
const int kLatencyPosts = 2000;
const int kBatch = 200; // posts in flight, well below a queue's limit

struct Shared {
    unsigned char slots[kSlots][kPayload];
    long long latencies[kLatencyPosts]; // QPC ticks, written by the child
    volatile LONG handled;
};

struct Bus {
    LumoPostData post;
    LumoRegister reg;
    LumoGetp getp;
};

Shared* shared = nullptr;
Bus bus = {};
HWND parent = nullptr, child = nullptr;
bool latency_phase = false;

long long now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

// The child's handler: copy the payload out as a receiver does, note the latency.
void received(const unsigned char* bytes) {
    unsigned char copy[kPayload];
    std::memcpy(copy, bytes, kPayload);
    long long sent;
    std::memcpy(&sent, copy, sizeof sent);
    LONG n = shared->handled;
    if (latency_phase && n < kLatencyPosts) {
        shared->latencies[n] = now() - sent;
    }
    shared->handled = n + 1;
    if (latency_phase || (n + 1) % kBatch == 0) {
        PostMessageW(parent, kWmAck, 0, 0);
    }
}

LRESULT CALLBACK child_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == bus::kWmBusEvent) {
        std::uint32_t count = 0;
        char* bytes = bus.getp(static_cast<std::uint32_t>(lparam), &count);
        if (bytes != nullptr && count == kPayload) {
            received(reinterpret_cast<unsigned char*>(bytes));
        }
        return 0;
    }
    if (msg == kWmRaw) {
        received(shared->slots[wparam % kSlots]);
        return 0;
    }
    if (msg == kWmPhase) {
        latency_phase = wparam != 0;
        shared->handled = 0;
        PostMessageW(parent, kWmAck, 0, 0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wparam, lparam);
}

// Waits in the parent's message loop until the given message arrives; the child answers
// every request, so ten seconds of silence means it is gone.
void wait_for(UINT wanted, WPARAM* wparam = nullptr) {
    MSG msg;
    for (;;) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == wanted) {
                if (wparam) {
                    *wparam = msg.wParam;
                }
                return;
            }
            DispatchMessageW(&msg);
        }
        if (MsgWaitForMultipleObjects(0, nullptr, FALSE, 10000, QS_ALLINPUT) == WAIT_TIMEOUT) {
            std::printf("bus_bench: timed out waiting for the receiving process\n");
            ExitProcess(1);
        }
    }
}

void set_phase(bool latency) {
    PostMessageW(child, kWmPhase, latency ? 1 : 0, 0);
    wait_for(kWmAck);
}

template <typename Send> double throughput(Send send) {
    set_phase(false);
    unsigned char payload[kPayload] = {};
    long long start = now();
    for (int i = 0; i < kThroughputPosts; ++i) {
        long long t = now();
        std::memcpy(payload, &t, sizeof t);
        send(i, payload);
        if ((i + 1) % kBatch == 0) {
            wait_for(kWmAck);
        }
    }
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    return kThroughputPosts * double(freq.QuadPart) / double(now() - start);
}

template <typename Send> void latency(Send send, double& median, double& p99) {
    set_phase(true);
    unsigned char payload[kPayload] = {};
    for (int i = 0; i < kLatencyPosts; ++i) {
        long long t = now();
        std::memcpy(payload, &t, sizeof t);
        send(i, payload);
        wait_for(kWmAck);
    }
    std::vector<long long> v(shared->latencies, shared->latencies + kLatencyPosts);
    std::sort(v.begin(), v.end());
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    double us = 1e6 / double(freq.QuadPart);
    median = v[v.size() / 2] * us;
    p99 = v[v.size() * 99 / 100] * us;
}

HWND make_window(WNDPROC proc, const wchar_t* name) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = name;
    RegisterClassW(&wc);
    return CreateWindowW(name, name, WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance,
                         nullptr);
}

bool bind_bus() {
    HMODULE lib = LoadLibraryW(L"lumo.dll");
    if (!lib) {
        return false;
    }
    bus.post = reinterpret_cast<LumoPostData>(
        reinterpret_cast<void*>(GetProcAddress(lib, "lumoPostData")));
    bus.reg = reinterpret_cast<LumoRegister>(
        reinterpret_cast<void*>(GetProcAddress(lib, "lumoRegister")));
    bus.getp = reinterpret_cast<LumoGetp>(reinterpret_cast<void*>(GetProcAddress(lib, "lumoGetp")));
    return bus.post && bus.reg && bus.getp;
}

int run_child(HWND parent_window) {
    parent = parent_window;
    child = make_window(child_proc, L"bus_bench_child");
    bus.reg(child, bus::kKindString, "bench_rx");
    PostMessageW(parent, kWmHello, reinterpret_cast<WPARAM>(child), 0);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        DispatchMessageW(&msg);
    }
    return 0;
}

int run_parent() {
    parent = make_window(DefWindowProcW, L"bus_bench_parent");
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring cmd = L"\"" + std::wstring(exe) + L"\" child " +
                       std::to_wstring(reinterpret_cast<ULONG_PTR>(parent));
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi)) {
        std::printf("cannot start the receiving process\n");
        return 1;
    }
    WPARAM child_window = 0;
    wait_for(kWmHello, &child_window);
    child = reinterpret_cast<HWND>(child_window);

    auto raw = [](int i, const unsigned char* payload) {
        std::memcpy(shared->slots[i % kSlots], payload, kPayload);
        PostMessageW(child, kWmRaw, i % kSlots, 0);
    };
    auto via_bus = [](int, const unsigned char* payload) {
        bus.post(parent, bus::kControllerKeyword, reinterpret_cast<std::uintptr_t>(payload),
                 kPayload);
    };
    double raw_rate = throughput(raw), bus_rate = throughput(via_bus);
    double raw_median, raw_p99, bus_median, bus_p99;
    latency(raw, raw_median, raw_p99);
    latency(via_bus, bus_median, bus_p99);

    std::printf("64-byte text, one process to another, %d posts, latency over %d posts\n",
                kThroughputPosts, kLatencyPosts);
    std::printf("raw PostMessageW + shared copy: %9.0f posts/s  median %7.1f us  p99 %7.1f us\n",
                raw_rate, raw_median, raw_p99);
    std::printf("bus (lumo.dll):                 %9.0f posts/s  median %7.1f us  p99 %7.1f us\n",
                bus_rate, bus_median, bus_p99);
    std::printf("bus / raw: throughput %.2f (target >= 0.5), p99 latency %.2f (target <= 2)\n",
                bus_rate / raw_rate, bus_p99 / raw_p99);
    TerminateProcess(pi.hProcess, 0);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    HANDLE map = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                    sizeof(Shared), L"Local\\bus_bench_shared");
    shared = static_cast<Shared*>(MapViewOfFile(map, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (shared == nullptr || !bind_bus()) {
        std::printf("bus_bench: lumo.dll or shared memory unavailable\n");
        return 1;
    }
    if (argc == 3 && lstrcmpW(argv[1], L"child") == 0) {
        return run_child(reinterpret_cast<HWND>(_wcstoui64(argv[2], nullptr, 10)));
    }
    return run_parent();
}
