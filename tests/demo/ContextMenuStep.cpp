// The shell extension as Explorer meets it on a right click: the class found in
// HKEY_CLASSES_ROOT, the object made by CoCreateInstance, initialised with a data
// object of Wine's own shell, asked to fill a context menu.
#include "DemoSteps.h"

#include <shlobj.h>

#include "ShellextTestSupport.h"
#include "TestSupport.h"

using namespace shellext;

namespace demo {

namespace {

std::string ResultText(HRESULT result) {
    if (result == S_OK) return "S_OK";
    char text[16];
    wsprintfA(text, "0x%08lx", static_cast<unsigned long>(result));
    return text;
}

std::string FileName(const std::string& path) {
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// One right click on one file: a fresh object, as Explorer makes one per click.
bool ShowMenuFor(const std::string& path) {
    std::string name = FileName(path);
    Ref<IShellExtInit> init;
    HRESULT created = CreateExtension(IID_IShellExtInit, init.OutVoid());
    if (FAILED(created)) {
        Say("  %-12s CoCreateInstance -> %s", name.c_str(), ResultText(created).c_str());
        return false;
    }
    Ref<IDataObject> data(MakeFileDataObject({path}));
    if (!data) {
        Say("  %-12s Wine's shell made no data object", name.c_str());
        return false;
    }
    HRESULT initialized = init->Initialize(nullptr, data.Get(), nullptr);
    Ref<IContextMenu> menu;
    HRESULT asMenu = init->QueryInterface(IID_IContextMenu, menu.OutVoid());
    if (initialized != S_OK || asMenu != S_OK) {
        Say("  %-12s Initialize -> %s, QueryInterface(IContextMenu) -> %s", name.c_str(),
            ResultText(initialized).c_str(), ResultText(asMenu).c_str());
        return false;
    }
    // Explorer's own entries around the place it offers.
    HMENU popup = CreatePopupMenu();
    AppendMenuA(popup, MF_STRING, 1, "Open");
    AppendMenuA(popup, MF_STRING, 2, "Properties");
    HRESULT queried = menu->QueryContextMenu(popup, 1, 100, 200, CMF_NORMAL);
    int items = GetMenuItemCount(popup);
    std::string shown;
    for (int position = 0; position < items; ++position) {
        char text[1024] = "";
        GetMenuStringA(popup, position, text, sizeof text, MF_BYPOSITION);
        shown += (position ? " | " : "") + std::string(text);
    }
    UINT entryId = GetMenuItemID(popup, 1);
    DestroyMenu(popup);
    bool ok = queried == MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1) && items == 3 && entryId == 100;
    if (ok) Say("  %-12s  %s", name.c_str(), shown.c_str());
    else Say("  %-12s  QueryContextMenu -> %s, menu: %s", name.c_str(), ResultText(queried).c_str(), shown.c_str());
    return ok;
}

}  // namespace

int ContextMenuStep(const std::vector<std::string>& files) {
    Apartment apartment;
    bool ok = true;
    {
    RegisteredServer server;
    std::string serverKey = std::string(kTolvaneClassKey) + "\\InProcServer32";
    Say("registered HKCR\\%s", serverKey.c_str());
    Say("  = %s (ThreadingModel %s)", RegistryText(HKEY_CLASSES_ROOT, serverKey.c_str(), nullptr).c_str(),
        RegistryText(HKEY_CLASSES_ROOT, serverKey.c_str(), "ThreadingModel").c_str());
    if (!server.Ok()) {
        Say("could not register the class");
        return 1;
    }
    Say("per file: CoCreateInstance(IShellExtInit), Initialize(data object of Wine's shell), then");
    Say("QueryContextMenu(menu \"Open | Properties\", position 1, first id 100) -> the menu it leaves:");
    for (const std::string& path : files) ok = ShowMenuFor(path) && ok;
    Say("all objects released: DllCanUnloadNow -> %s", ResultText(CallDllCanUnloadNow()).c_str());
    }
    Say("class registration removed again");
    return ok ? 0 : 1;
}

}  // namespace demo
