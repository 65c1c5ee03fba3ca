#include "ShellextTestSupport.h"

#include <commctrl.h>
#include <shlwapi.h>

#include "TestSupport.h"

namespace shellext {

const CLSID kTolvaneClassId = {0x9C52E1B7, 0x0A4F, 0x11d3, {0xB6, 0xE2, 0x7F, 0x41, 0xC0, 0x8D, 0x5A, 0x96}};
const char kClassIdText[] = "{9C52E1B7-0A4F-11d3-B6E2-7F41C08D5A96}";
const char kTolvaneClassKey[] = "CLSID\\{9C52E1B7-0A4F-11d3-B6E2-7F41C08D5A96}";

namespace {
const char kContextHandlerKey[] = "*\\shellex\\ContextMenuHandlers\\Tolvane";
const char kPropertyHandlerKey[] = "*\\shellex\\PropertySheetHandlers\\Tolvane";
}  // namespace

RegisteredServer::RegisteredServer(bool asFileHandlers) : handlers_(asFileHandlers) {
    char full[MAX_PATH];
    GetFullPathNameA(testsupport::DistFile("Tolvane.dll").c_str(), MAX_PATH, full, nullptr);
    const std::string server = std::string(kTolvaneClassKey) + "\\InProcServer32";
    ok_ = testsupport::SetRegString(HKEY_CLASSES_ROOT, server.c_str(), nullptr, full) &&
          testsupport::SetRegString(HKEY_CLASSES_ROOT, server.c_str(), "ThreadingModel", "Apartment");
    if (handlers_)
        ok_ = ok_ && testsupport::SetRegString(HKEY_CLASSES_ROOT, kContextHandlerKey, nullptr, kClassIdText) &&
              testsupport::SetRegString(HKEY_CLASSES_ROOT, kPropertyHandlerKey, nullptr, kClassIdText);
}

RegisteredServer::~RegisteredServer() {
    if (handlers_) {
        testsupport::DeleteRegTree(HKEY_CLASSES_ROOT, kContextHandlerKey);
        testsupport::DeleteRegTree(HKEY_CLASSES_ROOT, kPropertyHandlerKey);
    }
    testsupport::DeleteRegTree(HKEY_CLASSES_ROOT, kTolvaneClassKey);
}

IDataObject* MakeFileDataObject(const std::vector<std::string>& paths) {
    if (paths.empty()) return nullptr;
    std::vector<PIDLIST_ABSOLUTE> items;
    for (const std::string& path : paths) {
        wchar_t wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
        PIDLIST_ABSOLUTE item = nullptr;
        if (FAILED(SHParseDisplayName(wide, nullptr, &item, 0, nullptr))) break;
        items.push_back(item);
    }
    IDataObject* data = nullptr;
    if (items.size() == paths.size()) {
        IShellFolder* parent = nullptr;
        PCUITEMID_CHILD child = nullptr;
        if (SUCCEEDED(SHBindToParent(items[0], IID_IShellFolder, reinterpret_cast<void**>(&parent), &child))) {
            std::vector<PCUITEMID_CHILD> children;
            for (PIDLIST_ABSOLUTE item : items) children.push_back(ILFindLastID(item));
            parent->GetUIObjectOf(nullptr, static_cast<UINT>(children.size()), children.data(), IID_IDataObject,
                                  nullptr, reinterpret_cast<void**>(&data));
            parent->Release();
        }
    }
    for (PIDLIST_ABSOLUTE item : items) CoTaskMemFree(item);
    return data;
}

HRESULT CreateExtension(REFIID iid, void** object) {
    return CoCreateInstance(kTolvaneClassId, nullptr, CLSCTX_INPROC_SERVER, iid, object);
}

HMODULE TolvaneModule() {
    char full[MAX_PATH];
    GetFullPathNameA(testsupport::DistFile("Tolvane.dll").c_str(), MAX_PATH, full, nullptr);
    return GetModuleHandleA(full);
}

HRESULT CallDllCanUnloadNow() {
    HMODULE module = TolvaneModule();
    if (!module) return E_UNEXPECTED;
    auto canUnload = Export<HRESULT(STDAPICALLTYPE*)()>(module, "DllCanUnloadNow");
    return canUnload ? canUnload() : E_UNEXPECTED;
}

namespace {

struct ModalDriver {
    const char* title;
    const std::function<void(HWND)>* drive;
    DWORD started;
    DWORD timeoutMs;
    HWND window;
    bool driven;
    bool timedOut;
};
ModalDriver* g_driver = nullptr;

BOOL CALLBACK FindTitled(HWND window, LPARAM found) {
    if (IsWindowVisible(window) && WindowText(window) == g_driver->title) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK DriverTick(HWND, UINT, UINT_PTR, DWORD) {
    ModalDriver* driver = g_driver;
    if (!driver) return;
    if (!driver->driven) {
        HWND found = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), FindTitled, reinterpret_cast<LPARAM>(&found));
        if (found) {
            driver->window = found;
            driver->driven = true;
            (*driver->drive)(found);
            return;
        }
    }
    if (GetTickCount() - driver->started > driver->timeoutMs && !driver->timedOut) {
        driver->timedOut = true;
        HWND stuck = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), FindTitled, reinterpret_cast<LPARAM>(&stuck));
        if (stuck) PostMessageA(stuck, WM_CLOSE, 0, 0);
    }
}

}  // namespace

bool DriveModalWindow(const char* title, const std::function<void()>& open,
                      const std::function<void(HWND)>& drive, DWORD timeoutMs) {
    ModalDriver driver = {title, &drive, GetTickCount(), timeoutMs, nullptr, false, false};
    g_driver = &driver;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, DriverTick);
    open();
    KillTimer(nullptr, timer);
    g_driver = nullptr;
    return driver.driven && !driver.timedOut;
}

bool ControlMatchesRect(HWND dialog, HWND control, const DialogRect& expected) {
    // The dialog manager converts position and size each on its own, as
    // MapDialogRect converts each field of a rectangle.
    RECT want = {expected.left, expected.top, expected.width, expected.height};
    MapDialogRect(dialog, &want);
    RECT have;
    GetWindowRect(control, &have);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&have), 2);
    return want.left == have.left && want.top == have.top && want.right == have.right - have.left &&
           want.bottom == have.bottom - have.top;
}

std::vector<std::string> TabTitles(HWND sheet) {
    std::vector<std::string> titles;
    HWND tabs = PropSheet_GetTabControl(sheet);
    const int count = static_cast<int>(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char title[128] = "";
        TCITEMA tab = {};
        tab.mask = TCIF_TEXT;
        tab.pszText = title;
        tab.cchTextMax = sizeof title;
        SendMessageA(tabs, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&tab));
        titles.push_back(title);
    }
    return titles;
}

std::string WindowText(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ClassName(HWND window) {
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string DescriptionFile(const std::string& folder) {
    return testsupport::ReadFileBytes(folder + "\\DESCRIPT.ION");
}

}  // namespace shellext
