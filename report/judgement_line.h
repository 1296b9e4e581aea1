#pragma once
// One line of a station's record, as the controller's judgement prints it (UTF-8):
//   "N# PASS name=VALUEunit range=B___A"  or  "N# 错误 name=VALUEunit 范围=B___A"
// with N the fixture slot 1 to 4 and every number printed with three decimals ("-1.250",
// "inf", "nan" too).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace report {

struct judgement_line {
    int slot = 0; // 1 to 4
    bool pass = false;
    std::string_view name; // the text before the last "=" that a number follows
    double value = 0;
    std::string_view unit;
    double low = 0; // the smaller limit
    double high = 0;
    // The value in thousandths, exact where has_thousandths: a finite number printed with
    // three decimals whose thousandths stay below 2^53 (value is then exactly t / 1000.0).
    int64_t value_thousandths = 0;
    bool has_thousandths = false;
};

// The line's fields, viewing `line`; nullopt for anything else.
std::optional<judgement_line> parse_judgement_line(std::string_view line);
// The same into `result`, which is left in an unspecified state when false is returned.
bool parse_judgement_line(std::string_view line, judgement_line& result);

// Parses the judgement lines of one record after another. The tester prints the same
// program every cycle, so a line whose name and limits are the bytes of the line at its
// place in the record before (the slot aside) has only its value read.
class judgement_reader {
public:
    // parse_judgement_line of the `index`th judgement line (from 0) of the current record.
    bool read(size_t index, std::string_view line, judgement_line& result);

private:
    struct known_line {
        std::string bytes; // the line from after its slot to its value, then its limits
        size_t head = 0;   // of bytes, up to the value
        bool pass = false;
        double low = 0;
        double high = 0;
    };

    bool reuse(const known_line& known, std::string_view line, judgement_line& result) const;

    std::vector<known_line> m_known; // by index
};

} // namespace report
