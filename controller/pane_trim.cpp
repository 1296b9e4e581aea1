#include "pane_trim.h"

std::size_t PaneTrimLength(std::u16string_view text, std::size_t incoming, std::size_t bound) {
    const std::size_t total = text.size() + incoming;
    if (total <= bound) {
        return 0;
    }
    // Cutting a quarter at a time keeps the costly cut rare.
    const std::size_t wanted = total - bound * 3 / 4;
    if (wanted >= text.size()) {
        return text.size();
    }
    // A line end that ends at the wanted point, or straddles it, is the first that will do.
    const std::size_t lineEnd = text.find(u"\r\n", wanted >= 2 ? wanted - 2 : 0);
    return lineEnd == std::u16string_view::npos ? text.size() : lineEnd + 2;
}
