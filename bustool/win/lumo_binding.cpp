#include "lumo_binding.h"

namespace {

template <typename Fn> bool Resolve(HMODULE library, Fn& slot, const char* name) {
    slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name)));
    return slot != nullptr;
}

} // namespace

bool CLumoBinding::Load(const char* dllName, HWND window) {
    Unload(window);
    library = LoadLibraryA(dllName);
    if (library == nullptr) {
        return false;
    }
    bool all = Resolve(library, postData, "lumoPostData");
    all = Resolve(library, registerWindow, "lumoRegister") && all;
    all = Resolve(library, unregisterWindow, "lumoUnregister") && all;
    all = Resolve(library, getPublicVar, "lumoGetPublicVar") && all;
    all = Resolve(library, setPublicVar, "lumoSetPublicVar") && all;
    all = Resolve(library, getp, "lumoGetp") && all;
    all = Resolve(library, getInfo, "lumoGetInfo") && all;
    if (!all) {
        Release();
    }
    return all;
}

void CLumoBinding::Unload(HWND window) {
    if (library == nullptr) {
        return;
    }
    if (unregisterWindow != nullptr) {
        unregisterWindow(window);
    }
    Release();
}

void CLumoBinding::Release() {
    HMODULE held = library;
    Clear();
    FreeLibrary(held);
}
