// Writing and removing the shell's handler keys for Tolvane (ShellHandlerKeys.h), in
// every registry view the system has.
#include "ShellHandlerKeys.h"

#include "HookControl.h"
#include "RegistryViews.h"

#include <windows.h>

#include "Contract.h"
#include "RegistryKey.h"

const char kContextMenuHandlers[] = TOLVANE_MENU_HANDLERS;
const char kPropertySheetHandlers[] = TOLVANE_PAGE_HANDLERS;

namespace {

void HandlerKeyName(const char* handlersKey, char (&name)[MAX_PATH]) {
    wsprintfA(name, "%s\\%s", handlersKey, TOLVANE_HANDLER_NAME);
}

// The key in one view: view 0 is this process's own.
void RegisterInView(const char* handlersKey, REGSAM view) {
    char name[MAX_PATH];
    HandlerKeyName(handlersKey, name);
    CRegistryKey key;
    if (!key.CreateWith(HKEY_CLASSES_ROOT, name, KEY_SET_VALUE | view)) return;
    key.Set(nullptr, REG_SZ, TOLVANE_CLASS_ID, sizeof TOLVANE_CLASS_ID);
}

void UnregisterInView(const char* handlersKey, REGSAM view) {
    char name[MAX_PATH];
    HandlerKeyName(handlersKey, name);
    CRegistryKey key;
    if (key.OpenWith(HKEY_CLASSES_ROOT, name, KEY_SET_VALUE | view)) {
        const char empty[2] = {0, 0};
        key.Set(nullptr, REG_SZ, empty, sizeof empty);
    }
    // Opened in its view, the parent deletes its own subkey there.
    if (key.OpenWith(HKEY_CLASSES_ROOT, handlersKey, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | view))
        RegDeleteKeyA(key.Handle(), TOLVANE_HANDLER_NAME);
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
