#include "reader_gate.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <thread>

using namespace bridge;
using namespace std::chrono_literals;

namespace {

// Counts the chunks it is handed; while `holding`, a hand-over stays inside until released.
class holding_sink : public byte_sink {
public:
    void dispatch_bytes(const std::uint8_t*, std::size_t) override {
        std::unique_lock hold(lock);
        ++chunks;
        changed.notify_all();
        changed.wait(hold, [this] { return !holding; });
    }
    bool wait_for_chunks(int n) {
        std::unique_lock hold(lock);
        return changed.wait_for(hold, 10s, [&] { return chunks >= n; });
    }
    void release() {
        std::lock_guard hold(lock);
        holding = false;
        changed.notify_all();
    }

    std::mutex lock;
    std::condition_variable changed;
    bool holding = true;
    int chunks = 0;
};

} // namespace

TEST(ReaderGate, AStuckHandOverHoldsShutOnlyForItsBoundAndNothingFollowsIt) {
    holding_sink sink;
    reader_gate gate(sink);
    const std::uint8_t byte = 0x55;
    std::thread reader([&] {
        gate.dispatch_bytes(&byte, 1);
        gate.dispatch_bytes(&byte, 1);
    });
    ASSERT_TRUE(sink.wait_for_chunks(1)) << "the first chunk never reached the sink";
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(gate.shut(50ms));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    sink.release();
    reader.join();
    EXPECT_EQ(sink.chunks, 1) << "a chunk got through after the gate was shut";
    EXPECT_TRUE(gate.shut(0ms)) << "no hand-over left running";
}
