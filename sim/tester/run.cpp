#include "run.h"

#include "command_text.h"

namespace sim {

namespace {

// "0123456789012..."
std::string digits(std::size_t count) {
    std::string line;
    for (std::size_t i = 0; i < count; ++i) {
        line += static_cast<char>('0' + i % 10);
    }
    return line;
}

std::vector<std::uint8_t> bytes_of(const std::string& text) {
    return {text.begin(), text.end()};
}

} // namespace

script_run::script_run(const std::vector<script_step>& script, run_extras extras)
    : cut_at(extras.cut) {
    if (extras.long_line > 0) {
        steps.push_back(
            {{digits(extras.long_line), 0}, "long " + std::to_string(extras.long_line) + " bytes"});
    }
    if (extras.insert) {
        steps.push_back({{*extras.insert, 0}, "insert " + hex_of(bytes_of(*extras.insert))});
    }
    for (const auto& step : script) {
        steps.push_back({step, ""});
    }
}

std::optional<run_step> script_run::next(std::string_view eol) {
    if (stopped || index == steps.size()) {
        return std::nullopt;
    }
    const auto& [step, note] = steps[index++];
    if (step.pause_ms > 0) {
        return run_step{"", step.pause_ms, ""};
    }
    std::vector<std::string> notes;
    if (!note.empty()) {
        notes.push_back(note);
    }
    if (eol != last_eol) {
        notes.push_back("eol " + eol_name(eol));
        last_eol = eol;
    }
    std::string bytes = step.line + std::string(eol);
    if (++printed == cut_at) {
        notes.push_back("cut: line " + std::to_string(printed) + " after " +
                        std::to_string(bytes.size() / 2) + " of " + std::to_string(bytes.size()) +
                        " bytes, nothing more this run");
        bytes.resize(bytes.size() / 2);
        stopped = true;
    }
    return run_step{bytes, 0, joined(notes)};
}

std::string eol_name(std::string_view eol) {
    return eol == "\r\n" ? "crlf" : eol == "\n" ? "lf" : eol == "\r" ? "cr" : "";
}

} // namespace sim
