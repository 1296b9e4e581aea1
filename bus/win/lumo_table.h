#pragma once
// lumo.dll and its entry points, bound by name: the one table code behind the programs'
// bus binding and the probe's.
#include "lumo_api.h"

#include <windows.h>

struct lumo_table {
    HMODULE library = nullptr;
    LumoPostData post_data = nullptr;
    LumoRegister register_window = nullptr;
    LumoUnregister unregister_window = nullptr;
    LumoGetPublicVar get_public_var = nullptr;
    LumoSetPublicVar set_public_var = nullptr;
    LumoGetp getp = nullptr;
    LumoGetStr get_str = nullptr;
    LumoSetStr set_str = nullptr;
    LumoGetInfo get_info = nullptr;
};

// Which entry points a program binds: all nine, or the seven of the probe (all but
// lumoGetStr and lumoSetStr, which stay null).
enum class lumo_entries { all, without_strings };

// Loads lumo.dll and binds the entry points; when the library or one of them is missing,
// leaves the table empty and returns false.
bool load_lumo_table(lumo_table& table, lumo_entries entries);
// Frees the library, if one is held, and empties the table.
void free_lumo_table(lumo_table& table);
