#include "lumo_binding.h"

bool CLumoBinding::Load(HWND window) {
    Unload(window);
    return load_lumo_table(*this, lumo_entries::without_strings);
}

void CLumoBinding::Unload(HWND window) {
    if (library != nullptr && unregister_window != nullptr) {
        unregister_window(window);
    }
    free_lumo_table(*this);
}
