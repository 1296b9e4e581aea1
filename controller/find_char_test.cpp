#include "find_char.h"

#include <gtest/gtest.h>
#include <random>
#include <string>

namespace {

TEST(FindChar, FindsWhatTheStandardFindFindsFromEveryStart) {
    // Few distinct units, among them the ones a four-at-a-time search could mistake for a
    // match: neighbours of the wanted unit, 0, 0x8000 and 0xFFFF, in every lane position.
    const char16_t units[] = {u'{', u'|', u'z', 0x0000, 0x8000, 0xFFFF, 0x807B, 0x7B7B, 0x017B};
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        std::u16string text(random() % 20, u'a');
        for (char16_t& unit : text) {
            unit = units[random() % std::size(units)];
        }
        const std::u16string_view view(text);
        for (const char16_t wanted : {u'{', char16_t(0x0000), char16_t(0xFFFF), char16_t(0x8000)}) {
            for (size_t from = 0; from <= text.size() + 1; ++from) {
                ASSERT_EQ(FindChar(view, wanted, from), view.find(wanted, from))
                    << "round " << round << " from " << from;
            }
        }
    }
}

} // namespace
