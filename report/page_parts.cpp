#include "page_parts.h"

namespace report {

std::string figure_cell(const std::string& key, const std::string& text) {
    return "<td class=\"n\" data-k=\"" + key + "\">" + text + "</td>";
}

std::string label_cell(std::string_view chinese, std::string_view english, bool numeric) {
    return std::string(numeric ? "<th class=\"n\">" : "<th>") + std::string(chinese) +
           "<br><span class=\"en\">" + std::string(english) + "</span></th>";
}

std::string heading(std::string_view chinese, std::string_view english) {
    return "<h3>" + std::string(chinese) + " <span class=\"en\">" + std::string(english) +
           "</span></h3>";
}

} // namespace report
