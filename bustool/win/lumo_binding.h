#pragma once
// The probe's own binding of lumo.dll: the library handle and the seven entry points it
// uses (all but lumoGetStr and lumoSetStr). An entry point that is not bound is null, and
// callers skip the call then.
#include "lumo_api.h"

#include <windows.h>

struct CLumoBinding {
    HMODULE library = nullptr;
    LumoPostData postData = nullptr;
    LumoRegister registerWindow = nullptr;
    LumoUnregister unregisterWindow = nullptr;
    LumoGetPublicVar getPublicVar = nullptr;
    LumoSetPublicVar setPublicVar = nullptr;
    LumoGetp getp = nullptr;
    LumoGetInfo getInfo = nullptr;

    // Loads the library by name and resolves the seven entry points; when the library or
    // any of them is missing, leaves everything cleared and returns false.
    bool Load(const char* dllName, HWND window);
    // When a library is held: unregisters the window, clears the entry points and frees it.
    void Unload(HWND window);
    void Clear() { *this = CLumoBinding{}; }

private:
    void Release();
};
