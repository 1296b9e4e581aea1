#include "com.h"

#include "serial_timeouts.h"

#include <process.h>

#include <algorithm>
#include <cwchar>

namespace bridge {

namespace {

constexpr DWORD kQueueSize = 4096;
constexpr DWORD kPurgeAll = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;
// Polling period when the port delivers no events (Wine on a pseudo-terminal).
constexpr DWORD kPollMs = 5;
// With events, the queue is still looked at this often, so a missed event costs no bytes.
constexpr DWORD kEventWatchMs = 50;
// Status queries failing in a row before the device counts as gone; one failure can be a
// passing driver error, and a few polls cost only milliseconds.
constexpr int kLostAfterFailures = 3;

HANDLE manual_reset_event() {
    return CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

} // namespace

com::com() {
    read_overlapped.hEvent = manual_reset_event();
    if (read_overlapped.hEvent != nullptr) {
        write_overlapped.hEvent = manual_reset_event();
        if (write_overlapped.hEvent == nullptr) {
            CloseHandle(read_overlapped.hEvent);
            read_overlapped.hEvent = nullptr;
        }
    }
    stop_event = manual_reset_event();
}

com::~com() {
    close_port();
    for (HANDLE event : {read_overlapped.hEvent, write_overlapped.hEvent, stop_event}) {
        if (event != nullptr) {
            CloseHandle(event);
        }
    }
}

bool com::open_port(int number) {
    if (is_open) {
        return true;
    }
    port_number = number;
    if (read_overlapped.hEvent == nullptr || write_overlapped.hEvent == nullptr ||
        stop_event == nullptr) {
        return false;
    }
    wchar_t path[32];
    std::swprintf(path, 32, L"\\\\.\\COM%d", port_number);
    HANDLE handle = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    port_handle = handle;
    SetCommMask(handle, EV_RXCHAR);
    SetupComm(handle, kQueueSize, kQueueSize);
    PurgeComm(handle, kPurgeAll);
    serial_timeouts t = timeouts_for(baud_rate);
    COMMTIMEOUTS timeouts{t.read_interval, t.read_multiplier, t.read_constant, t.write_multiplier,
                          t.write_constant};
    SetCommTimeouts(handle, &timeouts);
    if (apply_line_settings() == 0) {
        CloseHandle(handle);
        port_handle = nullptr;
        return false;
    }
    status_failures = 0;
    device_failed = false;
    is_open = 1;
    return true;
}

int com::apply_line_settings() {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(port_handle, &dcb)) {
        return 0;
    }
    dcb.BaudRate = baud_rate;
    dcb.fBinary = TRUE;
    // Parity checking on with no parity, as the line has always been set: with NOPARITY
    // the check has nothing to check.
    dcb.fParity = TRUE;
    dcb.ByteSize = byte_size;
    dcb.Parity = parity;
    dcb.StopBits = stop_bits;
    dcb.XonChar = 0x11;
    dcb.XoffChar = 0x13;
    // No flow control, whatever the port was left with: under XON/XOFF the driver would
    // swallow 0x11 and 0x13 inside Modbus frames, and a handshake line that nobody drives
    // would stop the writes.
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDsrSensitivity = FALSE;
    if (dcb.fDtrControl == DTR_CONTROL_HANDSHAKE) {
        dcb.fDtrControl = DTR_CONTROL_ENABLE;
    }
    if (dcb.fRtsControl == RTS_CONTROL_HANDSHAKE) {
        dcb.fRtsControl = RTS_CONTROL_ENABLE;
    }
    return SetCommState(port_handle, &dcb);
}

void com::clear_errors() {
    DWORD errors = 0;
    COMSTAT status{};
    ClearCommError(port_handle, &errors, &status);
}

bool com::write_bytes(const std::uint8_t* bytes, std::size_t count) {
    if (port_handle == nullptr) {
        return false;
    }
    DWORD written = 0;
    if (WriteFile(port_handle, bytes, static_cast<DWORD>(count), &written, &write_overlapped)) {
        return true;
    }
    if (GetLastError() != ERROR_IO_PENDING) {
        clear_errors();
        return false;
    }
    while (!GetOverlappedResult(port_handle, &write_overlapped, &written, TRUE)) {
        if (GetLastError() != ERROR_IO_INCOMPLETE) {
            clear_errors();
            break;
        }
    }
    return true;
}

int com::read_bytes(std::uint8_t* buffer) {
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(port_handle, &errors, &status)) {
        ++status_failures;
        return 0;
    }
    status_failures = 0;
    DWORD wanted = std::min<DWORD>(status.cbInQue, kChunk);
    if (wanted == 0) {
        return 0;
    }
    DWORD got = 0;
    if (ReadFile(port_handle, buffer, wanted, &got, &read_overlapped)) {
        return static_cast<int>(got);
    }
    if (GetLastError() == ERROR_IO_PENDING) {
        while (!GetOverlappedResult(port_handle, &read_overlapped, &got, TRUE)) {
            if (GetLastError() != ERROR_IO_INCOMPLETE) {
                break;
            }
        }
    } else {
        got = 0;
    }
    clear_errors();
    return static_cast<int>(got);
}

void com::close_port() {
    if (is_open.exchange(0) == 0) {
        return;
    }
    SetEvent(stop_event);
    SetCommMask(port_handle, 0);
    if (reader_thread != nullptr) {
        WaitForSingleObject(reader_thread, INFINITE);
        CloseHandle(reader_thread);
        reader_thread = nullptr;
        CloseHandle(wait_event);
        wait_event = nullptr;
    }
    ResetEvent(stop_event);
    EscapeCommFunction(port_handle, CLRDTR);
    PurgeComm(port_handle, kPurgeAll);
    CloseHandle(port_handle);
    port_handle = nullptr;
}

bool com::start_reader(byte_sink& sink) {
    if (!is_open || reader_thread != nullptr) {
        return reader_thread != nullptr;
    }
    target = &sink;
    polling = false;
    // Made here rather than on the reader thread, so that a failure leaves no port open
    // without a reader and needs no message box from a thread without a window.
    wait_event = manual_reset_event();
    if (wait_event == nullptr) {
        return false;
    }
    unsigned id = 0;
    auto thread = reinterpret_cast<HANDLE>(
        _beginthreadex(nullptr, 0, reader_main, this, CREATE_SUSPENDED, &id));
    if (thread == nullptr) {
        CloseHandle(wait_event);
        wait_event = nullptr;
        return false;
    }
    SetThreadPriority(thread, THREAD_PRIORITY_HIGHEST);
    reader_thread = thread;
    ResumeThread(thread);
    EscapeCommFunction(port_handle, SETDTR);
    return true;
}

unsigned __stdcall com::reader_main(void* self) {
    static_cast<com*>(self)->reader_loop();
    return 1;
}

// Waits for received characters, or polls the input queue where the port never reports
// them, and drains the queue after every wake-up until a read comes back empty. Ends when
// the port is closed or its device has gone.
void com::reader_loop() {
    OVERLAPPED wait{};
    wait.hEvent = wait_event;
    DWORD mask = 0;
    bool events = SetCommMask(port_handle, EV_RXCHAR) != 0;
    bool waiting = false;
    HANDLE wake[2] = {wait_event, stop_event};
    while (is_open) {
        if (events && !waiting) {
            mask = 0;
            ResetEvent(wait_event);
            if (WaitCommEvent(port_handle, &mask, &wait)) {
                events = mask != 0;
            } else if (GetLastError() == ERROR_IO_PENDING) {
                waiting = true;
            } else {
                // Wine on a pseudo-terminal fails at once with ERROR_OPERATION_ABORTED.
                events = false;
            }
        }
        if (waiting) {
            if (WaitForMultipleObjects(2, wake, FALSE, kEventWatchMs) == WAIT_OBJECT_0) {
                waiting = false;
                DWORD ignored = 0;
                events = GetOverlappedResult(port_handle, &wait, &ignored, FALSE) && mask != 0;
            }
        } else if (!events) {
            WaitForSingleObject(stop_event, kPollMs);
        }
        polling = !events;
        drain();
        if (status_failures >= kLostAfterFailures) {
            device_failed = true;
            break;
        }
    }
    if (waiting) {
        CancelIoEx(port_handle, &wait);
        DWORD ignored = 0;
        GetOverlappedResult(port_handle, &wait, &ignored, TRUE);
    }
}

void com::drain() {
    std::uint8_t chunk[96];
    int count = 0;
    while (is_open && (count = read_bytes(chunk)) > 0) {
        target->dispatch_bytes(chunk, static_cast<std::size_t>(count));
    }
}

} // namespace bridge
