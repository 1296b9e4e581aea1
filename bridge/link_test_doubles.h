#pragma once
// Recording stand-ins for the bus and the port, and hex helpers, for the bridge tests.
#include "link_ports.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <mutex>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace bridge::testing {

struct post_record {
    std::uint32_t type;
    std::string bytes;
    bool operator==(const post_record&) const = default;
};

// Readable failure messages: type word and the payload, as text when it is printable.
inline void PrintTo(const post_record& post, std::ostream* out);

class recording_bus : public bus_sink {
public:
    void post(std::uint32_t type, std::string_view bytes) override {
        {
            std::lock_guard hold(lock);
            posts.push_back({type, std::string(bytes)});
        }
        if (on_post) {
            on_post(bytes);
        }
    }
    // Everything posted since the last call.
    std::vector<post_record> take() {
        std::lock_guard hold(lock);
        return std::exchange(posts, {});
    }
    // Called after each post is recorded, on the posting thread.
    std::function<void(std::string_view)> on_post;

private:
    std::mutex lock;
    std::vector<post_record> posts;
};

class recording_port : public device_port {
public:
    bool connected() const override { return open; }
    int number() const override { return port_number; }
    bool write_bytes(const std::uint8_t* bytes, std::size_t count) override {
        writes.emplace_back(bytes, bytes + count);
        if (on_write) {
            on_write();
        }
        return open;
    }
    // Every block written since the last call.
    std::vector<std::vector<std::uint8_t>> take() { return std::exchange(writes, {}); }

    bool open = true;
    int port_number = 3;
    std::function<void()> on_write;

private:
    std::vector<std::vector<std::uint8_t>> writes;
};

// "01 03 00 12" to bytes and back.
inline std::vector<std::uint8_t> bytes_of(const std::string& hex) {
    std::vector<std::uint8_t> out;
    std::istringstream in(hex);
    unsigned value;
    while (in >> std::hex >> value) {
        out.push_back(static_cast<std::uint8_t>(value));
    }
    return out;
}

template <typename Bytes> std::string hex_of(const Bytes& bytes) {
    std::string out;
    char text[4];
    for (auto b : bytes) {
        std::snprintf(text, sizeof text, out.empty() ? "%02X" : " %02X",
                      static_cast<unsigned>(static_cast<std::uint8_t>(b)));
        out += text;
    }
    return out;
}

inline void PrintTo(const post_record& post, std::ostream* out) {
    bool text = true;
    for (char c : post.bytes) {
        text = text && c >= 0x20 && c < 0x7F;
    }
    *out << std::hex << "0x" << post.type << " "
         << (text ? '"' + post.bytes + '"' : hex_of(post.bytes));
}

inline post_record keyword(const std::string& text) {
    return {0x100002FF, text};
}
inline post_record diagnostic(const std::string& text) {
    return {0x100002FB, text};
}
inline post_record raw(const std::string& hex) {
    auto b = bytes_of(hex);
    return {0x10000400, std::string(b.begin(), b.end())};
}

} // namespace bridge::testing
