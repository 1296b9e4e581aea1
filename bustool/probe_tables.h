#pragma once
// The probe's name tables: the direction and kind texts of its combo boxes, its filter
// boxes, and the type words and masks built from them.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace probe {

// Entries of the direction and kind combo boxes, in list order.
inline constexpr std::array<std::string_view, 4> kDirectionList = {"Read Value", "Write Value",
                                                                   "Read Para", "Write Para"};
inline constexpr std::array<std::string_view, 9> kKindList = {
    "Depth", "A/D", "Timer", "Counter", "WTC", "ABS", "CONTROL", "String", "Array"};

// Bits of a direction or kind text, matched exactly and case-sensitively; a text typed by
// hand that matches no entry adds no bits.
std::uint32_t direction_bits(std::string_view text);
std::uint32_t kind_bit(std::string_view text);

// Type word of a single value: direction bits + kind bit + channel.
std::uint32_t value_type_word(std::string_view direction, std::string_view kind,
                              std::uint32_t channel);

// Type words of the string and array sends (both Value directions set).
std::uint32_t string_type_word(std::uint32_t channel);
std::uint32_t array_type_word(std::uint32_t channel);

// The nine filter boxes in field order (ADC, CNT, DEP, TMR, WTC, ARR, CTL, STR, ABS) and the
// registration mask bit of each.
inline constexpr std::size_t kFilterCount = 9;
using FilterFlags = std::array<bool, kFilterCount>;
std::uint32_t filter_mask(const FilterFlags& ticked);

} // namespace probe
