#include "bus_state.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace lumo;

namespace {

struct Bus : ::testing::Test {
    std::unique_ptr<bus_state> state = std::make_unique<bus_state>(); // zeroed like a new section
    void SetUp() override { init_state(*state); }

    std::string fetch(std::uint32_t handle) {
        std::vector<char> out;
        if (!fetch_payload(*state, handle, out)) {
            return "<none>";
        }
        EXPECT_EQ(out.back(), '\0') << "a zero byte follows every payload";
        return std::string(out.data(), out.size() - 1);
    }
};

} // namespace

TEST_F(Bus, InitKeepsALiveBusAlone) {
    register_client(*state, 0x10, 0x200, "qel", 1);
    init_state(*state);
    EXPECT_EQ(state->client_count, 1u);
}

TEST(BusInit, LeavesTheLockOfTheProcessThatCreatesTheSection) {
    auto fresh = std::make_unique<bus_state>();
    constexpr std::uint64_t kHeld = 0x0000'5EED'0000'0009;
    fresh->lock_holder = kHeld; // it initialises the new section under the lock
    init_state(*fresh);
    EXPECT_EQ(fresh->lock_holder, kHeld);
    EXPECT_EQ(fresh->magic, kMagic);
    EXPECT_EQ(fresh->next_handle, 1u);
}

TEST_F(Bus, RegisteringAgainReplacesMaskAndTableHasALimit) {
    EXPECT_TRUE(register_client(*state, 0x1A2B, 0x200, "qel", 7));
    EXPECT_TRUE(register_client(*state, 0x3C, 0x400, "test", 8));
    EXPECT_TRUE(register_client(*state, 0x1A2B, 0x600, "qel", 7));
    EXPECT_EQ(state->client_count, 2u);
    EXPECT_EQ(client_list_text(*state), "00001A2B qel 0x00000600\r\n0000003C test 0x00000400\r\n");

    unregister_client(*state, 0x1A2B);
    EXPECT_EQ(client_list_text(*state), "0000003C test 0x00000400\r\n");
    for (std::uint64_t w = 100; state->client_count < kMaxClients; ++w) {
        ASSERT_TRUE(register_client(*state, w, 0x200, "x", 1));
    }
    EXPECT_FALSE(register_client(*state, 5000, 0x200, "late", 1));
}

TEST_F(Bus, MasksFilterAndTheSenderIsSkipped) {
    register_client(*state, 1, 0x200, "qel", 1);
    register_client(*state, 2, 0x400, "arrays", 1);
    register_client(*state, 3, 0x200 | 0x4000, "test", 1);

    auto text = recipients(*state, 0x200002FF, 1);
    ASSERT_EQ(text.size(), 1u);
    EXPECT_EQ(text[0].window, 3u);
    auto arrays = recipients(*state, 0x10000400, 0);
    ASSERT_EQ(arrays.size(), 1u);
    EXPECT_EQ(arrays[0].window, 2u);
    EXPECT_EQ(recipients(*state, 0x10004005, 0).size(), 1u) << "Timer kind";
    EXPECT_TRUE(recipients(*state, 0x80800000, 0).empty()) << "nobody asked for CONTROL";
}

TEST_F(Bus, PayloadsRoundTripWithTheirLengthLimits) {
    EXPECT_EQ(fetch(store_payload(*state, "squeezed", 8)), "squeezed");
    EXPECT_EQ(fetch(store_payload(*state, "", 0)), "");
    std::string big(kMaxPayload, 'x');
    EXPECT_EQ(fetch(store_payload(*state, big.data(), kMaxPayload)), big);

    std::uint64_t before = state->write_position;
    std::string too_big(kMaxPayload + 1, 'y');
    EXPECT_EQ(store_payload(*state, too_big.data(), kMaxPayload + 1), 0u);
    EXPECT_EQ(store_payload(*state, nullptr, 4), 0u);
    EXPECT_EQ(state->write_position, before) << "a refused payload takes no room";
}

TEST_F(Bus, ForgedAndStaleHandlesGiveNothing) {
    std::uint32_t first = store_payload(*state, "first", 5);
    EXPECT_EQ(fetch(0), "<none>");
    EXPECT_EQ(fetch(first + 1), "<none>") << "never issued";
    EXPECT_EQ(fetch(0xDEADBEEF), "<none>");

    // Fill the ring once over: the first payload's bytes are gone, so is its handle.
    std::string block(kMaxPayload, 'z');
    std::uint32_t last = 0;
    for (std::size_t i = 0; i <= kRingBytes / kMaxPayload; ++i) {
        last = store_payload(*state, block.data(), kMaxPayload);
    }
    EXPECT_EQ(fetch(first), "<none>");
    EXPECT_EQ(fetch(last), block);
}

TEST_F(Bus, HandleSlotReuseAndRingWrapKeepPayloadsWhole) {
    std::uint32_t old = store_payload(*state, "old", 3);
    std::uint32_t h = 0;
    for (std::size_t i = 0; i < kIndexSlots; ++i) {
        char text[16];
        int n = std::snprintf(text, sizeof text, "p%zu", i);
        h = store_payload(*state, text, static_cast<std::uint32_t>(n));
    }
    EXPECT_EQ(h % kIndexSlots, old % kIndexSlots);
    EXPECT_EQ(fetch(old), "<none>") << "its index slot now names a newer payload";

    // Payloads that meet the ring's end start over at its beginning, whole.
    std::string odd(40000, 'q');
    for (int i = 0; i < 300; ++i) {
        odd[0] = static_cast<char>('a' + i % 26);
        std::uint32_t handle = store_payload(*state, odd.data(), 40000);
        ASSERT_EQ(fetch(handle), odd) << "payload " << i;
    }
}

TEST_F(Bus, PublicVariablesAndNamedStringsShowInTheirText) {
    EXPECT_TRUE(set_public_var(*state, 3, 42));
    EXPECT_FALSE(set_public_var(*state, kPublicVars, 1));
    EXPECT_EQ(get_public_var(*state, 3), 42u);
    EXPECT_EQ(get_public_var(*state, 999), 0u);

    EXPECT_TRUE(set_named_string(*state, "ver_qel_link", "1.0.0"));
    EXPECT_TRUE(set_named_string(*state, "ver_qel_link", "1.0.1"));
    EXPECT_FALSE(set_named_string(*state, "", "x"));
    std::string value;
    ASSERT_TRUE(get_named_string(*state, "ver_qel_link", value));
    EXPECT_EQ(value, "1.0.1");
    EXPECT_FALSE(get_named_string(*state, "missing", value));

    std::string vars = public_vars_text(*state);
    EXPECT_NE(vars.find("03=42\r\n"), std::string::npos);
    EXPECT_NE(vars.find("ver_qel_link=1.0.1\r\n"), std::string::npos);
    state->stats.posts = 5;
    EXPECT_NE(statistics_text(*state).find("posts 5\r\n"), std::string::npos);
}
