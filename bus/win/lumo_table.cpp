#include "lumo_table.h"

namespace {

template <typename Fn> bool resolve(HMODULE library, Fn& slot, const char* name) {
    slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name)));
    return slot != nullptr;
}

} // namespace

bool load_lumo_table(lumo_table& table, lumo_entries entries) {
    free_lumo_table(table);
    table.library = LoadLibraryW(L"lumo.dll");
    if (table.library == nullptr) {
        return false;
    }
    HMODULE library = table.library;
    const char* const* name = kLumoExports;
    bool all = resolve(library, table.post_data, *name++);
    all = resolve(library, table.register_window, *name++) && all;
    all = resolve(library, table.unregister_window, *name++) && all;
    all = resolve(library, table.get_public_var, *name++) && all;
    all = resolve(library, table.set_public_var, *name++) && all;
    all = resolve(library, table.getp, *name++) && all;
    if (entries == lumo_entries::all) {
        all = resolve(library, table.get_str, name[0]) && all;
        all = resolve(library, table.set_str, name[1]) && all;
    }
    name += 2;
    all = resolve(library, table.get_info, *name) && all;
    if (!all) {
        free_lumo_table(table);
    }
    return all;
}

void free_lumo_table(lumo_table& table) {
    HMODULE library = table.library;
    table = lumo_table{};
    if (library != nullptr) {
        FreeLibrary(library);
    }
}
