#pragma once
// The serial channel of one bridge: opens COMn with the line settings and timeouts,
// writes blocks with overlapped I/O, and runs the reader thread that hands every chunk
// it receives, at most 80 bytes, to a byte_sink.
#include "link_ports.h"

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace bridge {

// Opened, written and closed on the UI thread. The reader thread only reads; close_port
// stops it and waits a bounded time for it to end. A reader that does not end in time (a
// driver that never completes a cancel) is left running with everything it uses: the
// port is closed for the bridge, which reports it lost and goes on.
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
    // Stops and joins the reader, drops DTR, purges and closes; nothing when closed. A reader
    // still running after a second is given up on and keeps the port's handle.
    void close_port() override;
    // After a successful open: starts the reader at highest priority and raises DTR. False,
    // with nothing started, when the reader's thread or its event cannot be made.
    bool start_reader(byte_sink& target) override;

    bool connected() const override { return is_open != 0; }
    bool lost() const override;
    int number() const override { return port_number; }
    // True once the reader has found that the port delivers no events and polls instead.
    bool reader_polls() const;
    // The reader's thread while it runs, for a test to watch it end.
    HANDLE reader() const { return reader_thread; }

    // What one open port shares with its reader thread (com.cpp).
    struct line;

private:
    int apply_line_settings();
    static unsigned __stdcall reader_main(void* share);
    void clear_errors();

    HANDLE reader_thread = nullptr;
    // What the port's reader uses; the reader holds it too.
    std::shared_ptr<line> reader_line;
    std::atomic<int> is_open{0};
    HANDLE port_handle = nullptr;
    int port_number = 1;
    BYTE byte_size = 8;
    BYTE parity = NOPARITY;
    BYTE stop_bits = TWOSTOPBITS;
    DWORD baud_rate = 115200;
    OVERLAPPED write_overlapped{};
};

} // namespace bridge
