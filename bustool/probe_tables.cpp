#include "probe_tables.h"

#include "type_word.h"

namespace probe {

namespace {

struct NamedBits {
    std::string_view name;
    std::uint32_t bits;
};

constexpr NamedBits kDirections[] = {{"Read Value", bus::kReadValue},
                                     {"Write Value", bus::kWriteValue},
                                     {"Read Para", bus::kReadPara},
                                     {"Write Para", bus::kWritePara}};

constexpr NamedBits kKinds[] = {
    {"Depth", bus::kKindDepth},     {"A/D", bus::kKindAd},  {"Timer", bus::kKindTimer},
    {"Counter", bus::kKindCounter}, {"WTC", bus::kKindWtc}, {"String", bus::kKindString},
    {"Array", bus::kKindArray},     {"ABS", bus::kKindAbs}, {"CONTROL", bus::kKindControl}};

constexpr std::array<std::uint32_t, kFilterCount> kFilterBits = {
    bus::kKindAd,    bus::kKindCounter, bus::kKindDepth,  bus::kKindTimer, bus::kKindWtc,
    bus::kKindArray, bus::kKindControl, bus::kKindString, bus::kKindAbs};

template <std::size_t N> std::uint32_t lookup(const NamedBits (&table)[N], std::string_view text) {
    for (const NamedBits& entry : table) {
        if (entry.name == text) {
            return entry.bits;
        }
    }
    return 0;
}

constexpr std::uint32_t kBothValues = bus::kReadValue | bus::kWriteValue;

} // namespace

std::uint32_t direction_bits(std::string_view text) {
    return lookup(kDirections, text);
}

std::uint32_t kind_bit(std::string_view text) {
    return lookup(kKinds, text);
}

std::uint32_t value_type_word(std::string_view direction, std::string_view kind,
                              std::uint32_t channel) {
    return direction_bits(direction) + kind_bit(kind) + channel;
}

std::uint32_t string_type_word(std::uint32_t channel) {
    return kBothValues + bus::kKindString + channel;
}

std::uint32_t array_type_word(std::uint32_t channel) {
    return kBothValues + bus::kKindArray + channel;
}

std::uint32_t filter_mask(const FilterFlags& ticked) {
    std::uint32_t mask = 0;
    for (std::size_t i = 0; i < kFilterCount; ++i) {
        if (ticked[i]) {
            mask |= kFilterBits[i];
        }
    }
    return mask;
}

} // namespace probe
