#include "progtool_mode.h"

#include <gtest/gtest.h>

namespace progtool {
namespace {

// The result file's text as the controller reads it: UTF-16LE after the byte-order mark.
std::u16string decoded(const std::string& bytes) {
    EXPECT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(bytes.size() % 2, 0u);
    std::u16string text;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                      static_cast<unsigned char>(bytes[i + 1]) << 8);
    }
    return text;
}

bool contains(const std::u16string& text, std::u16string_view word) {
    return text.find(word) != std::u16string::npos;
}

TEST(ProgtoolMode, ModeWordsAreExact) {
    EXPECT_EQ(parse_mode("pass"), mode::pass);
    EXPECT_EQ(parse_mode("failed"), mode::failed);
    EXPECT_EQ(parse_mode("cancel"), mode::cancel);
    EXPECT_EQ(parse_mode("none"), mode::none);
    EXPECT_EQ(parse_mode("hang"), mode::hang);
    EXPECT_EQ(parse_mode("readonly"), mode::readonly);
    EXPECT_EQ(parse_mode("spawn"), mode::spawn);
    EXPECT_EQ(parse_mode("rewrite"), mode::rewrite);
    for (std::string_view word : {"", "Pass", "fail", " pass", "pass ", "hang\r"}) {
        EXPECT_FALSE(parse_mode(word).has_value()) << "[" << word << "]";
    }
}

// The controller judges by substring: only pass may read as programmed.
TEST(ProgtoolMode, ResultTextsReadAsTheirOutcome) {
    const std::u16string pass = decoded(result_bytes(mode::pass));
    EXPECT_FALSE(contains(pass, u"failed"));
    EXPECT_FALSE(contains(pass, u"cancel"));
    EXPECT_TRUE(contains(pass, u"烧录完成"));

    for (mode same : {mode::readonly, mode::rewrite}) {
        EXPECT_EQ(decoded(result_bytes(same)), pass);
    }

    const std::u16string failed = decoded(result_bytes(mode::failed));
    EXPECT_TRUE(contains(failed, u"failed"));
    EXPECT_FALSE(contains(failed, u"cancel"));

    const std::u16string cancel = decoded(result_bytes(mode::cancel));
    EXPECT_TRUE(contains(cancel, u"cancel"));
    EXPECT_FALSE(contains(cancel, u"failed"));
}

TEST(ProgtoolMode, NoResultForNoneHangAndSpawn) {
    EXPECT_TRUE(result_bytes(mode::none).empty());
    EXPECT_TRUE(result_bytes(mode::hang).empty());
    EXPECT_TRUE(result_bytes(mode::spawn).empty());
}

TEST(ProgtoolMode, PlanGivesOneLineARun) {
    plan_step step = take_first_line("hang\r\npass\nfailed");
    EXPECT_EQ(step.first, "hang");
    EXPECT_EQ(step.rest, "pass\nfailed");
    step = take_first_line(step.rest);
    EXPECT_EQ(step.first, "pass");
    step = take_first_line(step.rest);
    EXPECT_EQ(step.first, "failed");
    EXPECT_EQ(step.rest, "");
    step = take_first_line(step.rest);
    EXPECT_EQ(step.first, "");
    EXPECT_EQ(step.rest, "");
}

} // namespace
} // namespace progtool
