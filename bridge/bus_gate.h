#pragma once
// A bus sink that can be shut: the reader thread may still be posting tester lines while
// the window unloads the bus library, and no post may reach a library being unloaded.
#include "link_ports.h"

#include <mutex>

namespace bridge {

class bus_gate final : public bus_sink {
public:
    explicit bus_gate(bus_sink& bus) : bus(bus) {}

    // Passes the post on while the gate is open (reader or UI thread).
    void post(std::uint32_t type, std::string_view bytes) override;
    // Waits for a post in progress to finish; later posts are dropped.
    void shut();

private:
    bus_sink& bus;
    std::mutex lock;
    bool open = true;
};

} // namespace bridge
