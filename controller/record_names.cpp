#include "record_names.h"

#include "cycle_text.h"

#include <cstdio>

namespace {

constexpr std::u16string_view kExtension = u".txt";

std::u16string DateTimeStamp(const framework::LocalTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%d%02d%02d_%02d%02d%02d", t.year, t.month, t.day, t.hour,
                  t.minute, t.second);
    return Widen(text);
}

} // namespace

std::u16string DateDirectoryName(const framework::LocalTime& t) {
    char text[16];
    std::snprintf(text, sizeof text, "%d%02d%02d", t.year, t.month, t.day);
    return Widen(text);
}

std::u16string TesterRecordName(const framework::LocalTime& time) {
    return DateTimeStamp(time) + u"_0" + std::u16string(kExtension);
}

std::u16string StationRecordName(const framework::LocalTime& time, std::u16string_view qr) {
    return DateTimeStamp(time) + u"_QR" + FileNameSafe(qr) + std::u16string(kExtension);
}

std::u16string ProgramResultName(const framework::LocalTime& time) {
    return DateTimeStamp(time) + u"Program_Result" + std::u16string(kExtension);
}

std::u16string FileNameSafe(std::u16string_view text) {
    constexpr std::u16string_view kReserved = u"\\/:*?\"<>|";
    std::u16string safe(text);
    for (char16_t& c : safe) {
        if (c < 0x20 || kReserved.find(c) != std::u16string_view::npos) {
            c = u'_';
        }
    }
    return safe;
}

std::u16string NumberedName(std::u16string_view name, int n) {
    std::u16string_view stem = name;
    if (stem.ends_with(kExtension)) {
        stem.remove_suffix(kExtension.size());
    }
    return std::u16string(stem) + u"_" + Decimal(n) + std::u16string(kExtension);
}
