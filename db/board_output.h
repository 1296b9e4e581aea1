#pragma once
// `qeldb board`: a board's records across the line, as text or JSON.
#include "store.h"

#include <string>

namespace db {

std::string board_text(const std::string& qr, const std::vector<board_record>& records);
std::string board_json(const std::string& qr, const std::vector<board_record>& records);

} // namespace db
