#include "com.h"

#include "reader_gate.h"
#include "serial_timeouts.h"

#include <process.h>

#include <algorithm>
#include <chrono>
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
// The reader ends within milliseconds of being told; a reader still running after this is
// stuck in a driver call and is given up on.
constexpr DWORD kReaderEndMs = 1000;
// How long the reader waits for its cancelled comm-event wait to complete.
constexpr DWORD kCancelMs = 500;
constexpr std::chrono::milliseconds kHandOverMs{100};

HANDLE manual_reset_event() {
    return CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

void close_if_made(HANDLE handle) {
    if (handle != nullptr) {
        CloseHandle(handle);
    }
}

} // namespace

// What one open port shares with its reader thread: the records and events its I/O uses
// (a driver writes into them until the I/O completes), the gate to the bridge, and what
// the reader finds. Both threads hold it, so a reader given up on keeps everything it
// still uses.
struct com::line {
    line(HANDLE port, byte_sink& target) : port(port), gate(target) {
        read.hEvent = manual_reset_event();
        wait.hEvent = manual_reset_event();
    }
    ~line() {
        for (HANDLE event : {read.hEvent, wait.hEvent, stop}) {
            close_if_made(event);
        }
        if (owns_port) {
            CloseHandle(port);
        }
    }
    line(const line&) = delete;
    line& operator=(const line&) = delete;
    bool made() const { return read.hEvent && wait.hEvent && stop; }

    HANDLE port;
    reader_gate gate;
    // Set by close_port to wake the reader from any wait at once.
    HANDLE stop = manual_reset_event();
    OVERLAPPED read{};
    // The comm-event wait, and the mask its completion writes.
    OVERLAPPED wait{};
    DWORD mask = 0;
    std::atomic<bool> running{true};
    std::atomic<bool> polling{false};
    // The port's status query has failed this many times in a row (reader thread only);
    // a few in a row mean the device has gone, as when a USB adapter is pulled out.
    int status_failures = 0;
    std::atomic<bool> device_failed{false};
    // The driver never completed the cancel of the comm-event wait: the line stays with it.
    std::atomic<bool> stuck{false};
    // Handed over by close_port when it gave up on the reader.
    bool owns_port = false;
};

com::com() {
    write_overlapped.hEvent = manual_reset_event();
}

com::~com() {
    close_port();
    close_if_made(write_overlapped.hEvent);
}

bool com::lost() const {
    return reader_line && reader_line->device_failed;
}

bool com::reader_polls() const {
    return reader_line && reader_line->polling;
}

bool com::open_port(int number) {
    if (is_open) {
        return true;
    }
    port_number = number;
    if (write_overlapped.hEvent == nullptr) {
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

void com::close_port() {
    if (is_open.exchange(0) == 0) {
        return;
    }
    bool reader_ended = true;
    if (reader_line) {
        reader_line->running = false;
        SetEvent(reader_line->stop);
        SetCommMask(port_handle, 0);
        reader_ended = WaitForSingleObject(reader_thread, kReaderEndMs) == WAIT_OBJECT_0 &&
                       !reader_line->stuck;
        if (!reader_ended) {
            // Nothing it reads from now on reaches the bridge, and the handle it may still
            // be using is closed with the line, if the reader ever lets go of it.
            reader_line->gate.shut(kHandOverMs);
            reader_line->owns_port = true;
        }
        CloseHandle(reader_thread);
        reader_thread = nullptr;
        reader_line.reset();
    }
    if (reader_ended) {
        EscapeCommFunction(port_handle, CLRDTR);
        PurgeComm(port_handle, kPurgeAll);
        CloseHandle(port_handle);
    }
    port_handle = nullptr;
}

bool com::start_reader(byte_sink& sink) {
    if (!is_open || reader_thread != nullptr) {
        return reader_thread != nullptr;
    }
    // Made here rather than on the reader thread, so that a failure leaves no port open
    // without a reader and needs no message box from a thread without a window.
    auto made = std::make_shared<line>(port_handle, sink);
    if (!made->made()) {
        return false;
    }
    auto* share = new std::shared_ptr<line>(made);
    unsigned id = 0;
    auto thread = reinterpret_cast<HANDLE>(
        _beginthreadex(nullptr, 0, reader_main, share, CREATE_SUSPENDED, &id));
    if (thread == nullptr) {
        delete share;
        return false;
    }
    SetThreadPriority(thread, THREAD_PRIORITY_HIGHEST);
    reader_thread = thread;
    reader_line = made;
    ResumeThread(thread);
    EscapeCommFunction(port_handle, SETDTR);
    return true;
}

namespace {

// At most kChunk of the waiting bytes into buffer; 0 for none or a failed read.
int read_bytes(com::line& l, std::uint8_t* buffer) {
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(l.port, &errors, &status)) {
        ++l.status_failures;
        return 0;
    }
    l.status_failures = 0;
    DWORD wanted = std::min<DWORD>(status.cbInQue, com::kChunk);
    if (wanted == 0) {
        return 0;
    }
    DWORD got = 0;
    if (ReadFile(l.port, buffer, wanted, &got, &l.read)) {
        return static_cast<int>(got);
    }
    if (GetLastError() == ERROR_IO_PENDING) {
        while (!GetOverlappedResult(l.port, &l.read, &got, TRUE)) {
            if (GetLastError() != ERROR_IO_INCOMPLETE) {
                break;
            }
        }
    } else {
        got = 0;
    }
    ClearCommError(l.port, &errors, &status);
    return static_cast<int>(got);
}

// Hands every waiting chunk to the bridge until a read comes back empty.
void drain(com::line& l) {
    std::uint8_t chunk[96];
    int count = 0;
    while (l.running && (count = read_bytes(l, chunk)) > 0) {
        l.gate.dispatch_bytes(chunk, static_cast<std::size_t>(count));
    }
}

// Waits for received characters, or polls the input queue where the port never reports
// them, and drains the queue after every wake-up until a read comes back empty. Ends when
// the port is closed or its device has gone.
void reader_loop(const std::shared_ptr<com::line>& self) {
    com::line& l = *self;
    bool events = SetCommMask(l.port, EV_RXCHAR) != 0;
    bool waiting = false;
    HANDLE wake[2] = {l.wait.hEvent, l.stop};
    while (l.running) {
        if (events && !waiting) {
            l.mask = 0;
            ResetEvent(l.wait.hEvent);
            if (WaitCommEvent(l.port, &l.mask, &l.wait)) {
                events = l.mask != 0;
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
                events = GetOverlappedResult(l.port, &l.wait, &ignored, FALSE) && l.mask != 0;
            }
        } else if (!events) {
            WaitForSingleObject(l.stop, kPollMs);
        }
        l.polling = !events;
        drain(l);
        if (l.status_failures >= kLostAfterFailures) {
            l.device_failed = true;
            break;
        }
    }
    if (waiting) {
        CancelIoEx(l.port, &l.wait);
        if (WaitForSingleObject(l.wait.hEvent, kCancelMs) != WAIT_OBJECT_0) {
            // The driver may still write into the wait record: it is never freed.
            l.stuck = true;
            new std::shared_ptr<com::line>(self);
            return;
        }
        DWORD ignored = 0;
        GetOverlappedResult(l.port, &l.wait, &ignored, FALSE);
    }
}

} // namespace

unsigned __stdcall com::reader_main(void* share) {
    std::unique_ptr<std::shared_ptr<line>> held(static_cast<std::shared_ptr<line>*>(share));
    reader_loop(*held);
    return 1;
}

} // namespace bridge
