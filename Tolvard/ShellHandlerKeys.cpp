#include "ShellHandlerKeys.h"

#include "HookControl.h"

#include <windows.h>

const char kContextMenuHandlers[] = "*\\shellex\\ContextMenuHandlers";
const char kPropertySheetHandlers[] = "*\\shellex\\PropertySheetHandlers";

namespace {

const char kHandlerName[] = "Tolvane";

void HandlerKeyName(const char* handlersKey, char (&name)[MAX_PATH]) {
    wsprintfA(name, "%s\\%s", handlersKey, kHandlerName);
}

}  // namespace

void RegisterShellHandler(const char* handlersKey) {
    char name[MAX_PATH];
    HandlerKeyName(handlersKey, name);
    HKEY key = nullptr;
    if (RegCreateKeyA(HKEY_CLASSES_ROOT, name, &key) != ERROR_SUCCESS) return;
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(kTolvaneClassId),
                   lstrlenA(kTolvaneClassId) + 1);
    RegCloseKey(key);
}

void UnregisterShellHandler(const char* handlersKey) {
    char name[MAX_PATH];
    HandlerKeyName(handlersKey, name);
    HKEY key = nullptr;
    if (RegOpenKeyA(HKEY_CLASSES_ROOT, name, &key) == ERROR_SUCCESS) {
        const char empty[2] = {0, 0};
        RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(empty), sizeof empty);
        RegCloseKey(key);
    }
    if (RegOpenKeyA(HKEY_CLASSES_ROOT, handlersKey, &key) == ERROR_SUCCESS) {
        RegDeleteKeyA(key, kHandlerName);
        RegCloseKey(key);
    }
}
