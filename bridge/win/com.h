#pragma once
// The serial channel of one bridge: opens COMn with the line settings and timeouts,
// writes blocks with overlapped I/O, and runs the reader thread that hands every chunk
// it receives, at most 80 bytes, to a byte_sink.
#include "link_ports.h"

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace bridge {

// Opened, written and closed on the UI thread. The reader thread only reads; it stops
// when is_open is cleared and close_port waits for it to end.
class com : public serial_channel {
public:
    static constexpr int kChunk = 80;

    com();
    ~com() override;
    com(const com&) = delete;
    com& operator=(const com&) = delete;

    // Opens COMn with the line settings and timeouts; true at once if already open.
    bool open_port(int number) override;
    // Takes effect at the next open.
    void set_baud_rate(std::uint32_t baud) override { baud_rate = baud; }
    // False only when the write could not be started.
    bool write_bytes(const std::uint8_t* bytes, std::size_t count) override;
    // Stops and joins the reader, drops DTR, purges and closes; nothing when closed.
    void close_port() override;
    // After a successful open: starts the reader at highest priority and raises DTR. False,
    // with nothing started, when the reader's thread or its event cannot be made.
    bool start_reader(byte_sink& target) override;

    bool connected() const override { return is_open != 0; }
    bool lost() const override { return device_failed; }
    int number() const override { return port_number; }
    // True once the reader has found that the port delivers no events and polls instead.
    bool reader_polls() const { return polling; }
    // The reader's thread while it runs, for a test to watch it end.
    HANDLE reader() const { return reader_thread; }

private:
    int apply_line_settings();
    // At most kChunk of the waiting bytes into buffer; 0 for none or a failed read.
    int read_bytes(std::uint8_t* buffer);
    static unsigned __stdcall reader_main(void* self);
    void reader_loop();
    void drain();
    void clear_errors();

    HANDLE reader_thread = nullptr;
    std::atomic<int> is_open{0};
    HANDLE port_handle = nullptr;
    int port_number = 1;
    BYTE byte_size = 8;
    BYTE parity = NOPARITY;
    BYTE stop_bits = TWOSTOPBITS;
    DWORD baud_rate = 115200;
    OVERLAPPED write_overlapped{};
    OVERLAPPED read_overlapped{};
    // Set by close_port to wake the reader from any wait at once.
    HANDLE stop_event = nullptr;
    // The reader's comm-event wait; made with the thread, closed once it has ended.
    HANDLE wait_event = nullptr;
    byte_sink* target = nullptr;
    std::atomic<bool> polling{false};
    // The port's status query has failed this many times in a row (reader thread only);
    // a few in a row mean the device has gone, as when a USB adapter is pulled out.
    int status_failures = 0;
    std::atomic<bool> device_failed{false};
};

} // namespace bridge
