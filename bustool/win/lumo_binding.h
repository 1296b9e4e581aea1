#pragma once
// The probe's binding of lumo.dll: the seven entry points it uses (all but lumoGetStr and
// lumoSetStr). An entry point that is not bound is null, and callers skip the call then.
#include "lumo_table.h"

#include <windows.h>

struct CLumoBinding : lumo_table {
    // Loads the library and binds the seven entry points; when the library or any of them
    // is missing, leaves everything cleared and returns false.
    bool Load(HWND window);
    // When a library is held: unregisters the window, clears the entry points and frees it.
    void Unload(HWND window);
};
