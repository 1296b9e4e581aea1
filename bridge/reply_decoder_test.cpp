#include "link_test_doubles.h"
#include "reply_decoder.h"

#include <gtest/gtest.h>

using namespace bridge;
using namespace bridge::testing;

namespace {

reply_snapshot reply_of(const std::string& hex) {
    reply_buffer buffer;
    buffer.reset();
    for (auto b : bytes_of(hex)) {
        buffer.collect_reply_byte(b);
    }
    return buffer.snapshot();
}

class DecodeReply : public ::testing::Test {
protected:
    std::vector<post_record> decode(const std::string& hex) {
        decode_reply(reply_of(hex), status_word, bus);
        return bus.take();
    }
    recording_bus bus;
    std::uint16_t status_word = 0x1234;
};

} // namespace

TEST_F(DecodeReply, PollRepliesSetTheStatusWordAndReportTheClamp) {
    EXPECT_EQ(decode("01 03 02 00 10 B9 88"),
              (std::vector{raw("01 03 02 00 10 B9 88"), keyword("squeezed")}));
    EXPECT_EQ(status_word, 0x0010);
    EXPECT_EQ(decode("01 03 02 00 00 B8 44"),
              (std::vector{raw("01 03 02 00 00 B8 44"), keyword("slack")}));
    EXPECT_EQ(status_word, 0x0000);
}

TEST_F(DecodeReply, BadPollRepliesKeepTheStatusWord) {
    EXPECT_EQ(decode("01 03 02 00 10 00 00"),
              (std::vector{raw("01 03 02 00 10 00 00"), diagnostic("crc error")}));
    EXPECT_EQ(decode("01 03 04 00 10 B9 88"),
              (std::vector{raw("01 03 04 00 10 B9 88"), diagnostic("frame data error")}));
    EXPECT_EQ(decode("02 03 02 00 10 B9 88").back(), diagnostic("frame data error"));
    EXPECT_EQ(status_word, 0x1234);
}

TEST_F(DecodeReply, PowerEchoes) {
    EXPECT_EQ(decode("02 06 00 12 00 20 28 24"),
              (std::vector{raw("02 06 00 12 00 20 28 24"), keyword("powered")}));
    EXPECT_EQ(decode("02 06 00 12 00 00 29 FC"),
              (std::vector{raw("02 06 00 12 00 00 29 FC"), keyword("powered_off")}));
    EXPECT_EQ(decode("02 06 00 12 00 20 28 25").back(), diagnostic("crc error"));
    // The echo of a status write comes from unit 1.
    EXPECT_EQ(decode("01 06 00 12 00 80 28 5F").back(), diagnostic("frame data error"));
    EXPECT_EQ(status_word, 0x1234);
}

TEST_F(DecodeReply, SilenceAndOtherLengths) {
    EXPECT_EQ(decode(""), std::vector{keyword("paralyzed")});
    EXPECT_EQ(decode("01 03 02 00 10 B9"),
              (std::vector{raw("01 03 02 00 10 B9"), diagnostic("received unknow size.")}));
    EXPECT_EQ(decode("FF"), (std::vector{raw("FF"), diagnostic("received unknow size.")}));
}

TEST(ReplyBuffer, CountStopsAt31AndStartsAtOne) {
    reply_buffer buffer;
    EXPECT_EQ(buffer.snapshot().count, 1) << "one stray byte before the first request";
    buffer.reset();
    for (int i = 0; i < 40; ++i) {
        buffer.collect_reply_byte(static_cast<std::uint8_t>(i));
    }
    auto reply = buffer.snapshot();
    EXPECT_EQ(reply.count, 31);
    EXPECT_EQ(reply.bytes[30], 30);
    EXPECT_EQ(reply.bytes[31], 39) << "later bytes overwrite the last slot";
}
