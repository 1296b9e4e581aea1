#pragma once
// Turns what the control board sent since the last request into bus posts.
#include "link_ports.h"
#include "reply_buffer.h"

#include <cstdint>

namespace bridge {

// Posts "paralyzed" for no reply; otherwise the raw bytes, then the keyword or the
// diagnostic they decode to. A valid poll reply updates status_word and returns true.
bool decode_reply(const reply_snapshot& reply, std::uint16_t& status_word, bus_sink& bus);

} // namespace bridge
