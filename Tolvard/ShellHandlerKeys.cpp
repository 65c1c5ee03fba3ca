#include "ShellHandlerKeys.h"

#include "HookControl.h"
#include "RegistryViews.h"

#include <windows.h>

const char kContextMenuHandlers[] = "*\\shellex\\ContextMenuHandlers";
const char kPropertySheetHandlers[] = "*\\shellex\\PropertySheetHandlers";

namespace {

const char kHandlerName[] = "Tolvane";

void HandlerKeyName(const char* handlersKey, char (&name)[MAX_PATH]) {
    wsprintfA(name, "%s\\%s", handlersKey, kHandlerName);
}

// The key in one view: view 0 is this process's own.
void RegisterInView(const char* handlersKey, REGSAM view) {
    char name[MAX_PATH];
    HandlerKeyName(handlersKey, name);
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, name, 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(kTolvaneClassId),
                   lstrlenA(kTolvaneClassId) + 1);
    RegCloseKey(key);
}

void UnregisterInView(const char* handlersKey, REGSAM view) {
    char name[MAX_PATH];
    HandlerKeyName(handlersKey, name);
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, name, 0, KEY_SET_VALUE | view, &key) == ERROR_SUCCESS) {
        const char empty[2] = {0, 0};
        RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(empty), sizeof empty);
        RegCloseKey(key);
    }
    // Opened in its view, the parent deletes its own subkey there.
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, handlersKey, 0, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | view, &key) ==
        ERROR_SUCCESS) {
        RegDeleteKeyA(key, kHandlerName);
        RegCloseKey(key);
    }
}

}  // namespace

// On 64-bit Windows the 64-bit Explorer and every 64-bit program read one view, 32-bit
// programs the other: both get the key.
void RegisterShellHandler(const char* handlersKey) {
    RegisterInView(handlersKey, 0);
    if (REGSAM other = OtherRegistryView()) RegisterInView(handlersKey, other);
}

void UnregisterShellHandler(const char* handlersKey) {
    UnregisterInView(handlersKey, 0);
    if (REGSAM other = OtherRegistryView()) UnregisterInView(handlersKey, other);
}
