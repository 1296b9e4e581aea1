// Console probe of the serial channel for the Wine tests: opens COMn, writes one request,
// prints every chunk the reader hands over and keeps the bytes in a file, then closes the
// port and reports whether the reader had ended by the time close_port returned.
//
//   com_probe <port> <baud> <request> <expected bytes> <output file> [<wait ms> [hang]]
//
// With "hang" the reader never comes back from the hand-over that completes the expected
// bytes, as a reader stuck in a driver that never completes a cancel.
// The request takes the escapes \r, \n, \\ and \xHH. Exit status 0 when the expected
// number of bytes arrived within the wait, 1 when not, 2 for bad arguments or no port.
#include "com.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cwchar>
#include <string>

namespace {

std::string unescape(const wchar_t* text) {
    std::string out;
    for (const wchar_t* p = text; *p != 0; ++p) {
        if (*p != L'\\' || p[1] == 0) {
            out += static_cast<char>(*p);
            continue;
        }
        ++p;
        if (*p == L'r') {
            out += '\r';
        } else if (*p == L'n') {
            out += '\n';
        } else if (*p == L'x' && p[1] != 0 && p[2] != 0) {
            wchar_t hex[3] = {p[1], p[2], 0};
            out += static_cast<char>(std::wcstoul(hex, nullptr, 16));
            p += 2;
        } else {
            out += static_cast<char>(*p);
        }
    }
    return out;
}

// Runs on the reader thread: prints and stores every chunk, and signals once enough came.
class chunk_printer : public bridge::byte_sink {
public:
    chunk_printer(std::FILE* output, unsigned expected, HANDLE enough, bool hang)
        : output(output), expected(expected), enough(enough), hang(hang) {}

    void dispatch_bytes(const std::uint8_t* bytes, std::size_t count) override {
        std::fwrite(bytes, 1, count, output);
        std::fflush(output);
        std::printf("chunk %u:", static_cast<unsigned>(count));
        for (std::size_t i = 0; i < count; ++i) {
            std::printf(" %02X", bytes[i]);
        }
        std::printf("\n");
        std::fflush(stdout);
        if ((received += static_cast<unsigned>(count)) >= expected) {
            SetEvent(enough);
            while (hang) {
                Sleep(INFINITE);
            }
        }
    }

    std::atomic<unsigned> received{0};

private:
    std::FILE* output;
    unsigned expected;
    HANDLE enough;
    bool hang;
};

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 6) {
        std::fprintf(stderr, "usage: com_probe <port> <baud> <request> <expected bytes> "
                             "<output file> [<wait ms>]\n");
        return 2;
    }
    bridge::com channel;
    const int port = _wtoi(argv[1]);
    const auto baud = static_cast<std::uint32_t>(_wtoi(argv[2]));
    channel.set_baud_rate(baud);
    std::string request = unescape(argv[3]);
    unsigned expected = static_cast<unsigned>(_wtoi(argv[4]));
    DWORD wait_ms = argc > 6 ? static_cast<DWORD>(_wtoi(argv[6])) : 10000;

    std::FILE* output = _wfopen(argv[5], L"wb");
    if (output == nullptr) {
        std::fwprintf(stderr, L"can not create file: %ls\n", argv[5]);
        return 2;
    }
    if (!channel.open_port(port)) {
        std::printf("open COM%d failed\n", port);
        std::fclose(output);
        return 2;
    }
    HANDLE enough = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    chunk_printer printer(output, expected, enough, argc > 7 && std::wstring(argv[7]) == L"hang");
    if (!channel.start_reader(printer)) {
        std::printf("reader did not start\n");
        return 2;
    }
    std::printf("open COM%d at %lu\n", port, static_cast<unsigned long>(baud));
    std::fflush(stdout);
    channel.write_bytes(reinterpret_cast<const std::uint8_t*>(request.data()), request.size());

    bool complete = expected == 0 || WaitForSingleObject(enough, wait_ms) == WAIT_OBJECT_0;
    bool polled = channel.reader_polls();

    HANDLE reader = nullptr;
    DuplicateHandle(GetCurrentProcess(), channel.reader(), GetCurrentProcess(), &reader,
                    SYNCHRONIZE, FALSE, 0);
    ULONGLONG start = GetTickCount64();
    channel.close_port();
    ULONGLONG took = GetTickCount64() - start;
    bool ended = WaitForSingleObject(reader, 0) == WAIT_OBJECT_0;
    std::printf("received %u of %u bytes\n", printer.received.load(), expected);
    std::printf("reader %s\n", polled ? "polled" : "waited for events");
    std::printf("closed in %llu ms, reader %s\n", took, ended ? "ended" : "still running");
    CloseHandle(reader);
    CloseHandle(enough);
    std::fclose(output);
    return complete ? 0 : 1;
}
