#pragma once
// Text as both engines store it: well-formed UTF-8 without NUL bytes (PostgreSQL's text holds
// neither malformed UTF-8 nor NUL), so that either database reads back the same.
#include <string>
#include <string_view>

namespace db {

// `bytes` itself when it is storable as it is (plain ASCII, the common case), else the
// storable text made in `buffer`.
std::string_view storable_text(std::string_view bytes, std::string& buffer);

} // namespace db
