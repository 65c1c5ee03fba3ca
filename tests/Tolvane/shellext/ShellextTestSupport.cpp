// The shell extension tests' helpers (ShellextTestSupport.h): the class registered in
// the prefix, COM apartments, data objects from Wine's shell, and what a dialog
// template and a property sheet show.
#include "ShellextTestSupport.h"

#include <commctrl.h>
#include <shlwapi.h>

#include "TestSupport.h"

namespace shellext {

RegisteredServer::RegisteredServer(bool asFileHandlers) : handlers_(asFileHandlers) {
    char full[MAX_PATH];
    GetFullPathNameA(testsupport::DistFile("Tolvane.dll").c_str(), MAX_PATH, full, nullptr);
    ok_ = testsupport::SetRegString(HKEY_CLASSES_ROOT, contract::kServerKey, nullptr, full) &&
          testsupport::SetRegString(HKEY_CLASSES_ROOT, contract::kServerKey, "ThreadingModel", "Apartment");
    if (handlers_)
        ok_ = ok_ && testsupport::SetRegString(HKEY_CLASSES_ROOT, contract::kContextHandlerKey, nullptr, contract::kClassIdText) &&
              testsupport::SetRegString(HKEY_CLASSES_ROOT, contract::kPropertyHandlerKey, nullptr, contract::kClassIdText);
}

RegisteredServer::~RegisteredServer() {
    if (handlers_) {
        testsupport::DeleteRegTree(HKEY_CLASSES_ROOT, contract::kContextHandlerKey);
        testsupport::DeleteRegTree(HKEY_CLASSES_ROOT, contract::kPropertyHandlerKey);
    }
    testsupport::DeleteRegTree(HKEY_CLASSES_ROOT, contract::kClassKey);
}

IDataObject* MakeFileDataObject(const std::vector<std::string>& paths) {
    std::vector<std::wstring> wide;
    for (const std::string& path : paths) wide.push_back(testsupport::FromAnsi(path));
    return MakeFileDataObject(wide);
}

IDataObject* MakeFileDataObject(const std::vector<std::wstring>& paths) {
    if (paths.empty()) return nullptr;
    std::vector<PIDLIST_ABSOLUTE> items;
    for (const std::wstring& path : paths) {
        PIDLIST_ABSOLUTE item = nullptr;
        if (FAILED(SHParseDisplayName(path.c_str(), nullptr, &item, 0, nullptr))) break;
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
    return CoCreateInstance(contract::kClassId, nullptr, CLSCTX_INPROC_SERVER, iid, object);
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

BOOL CALLBACK CollectPage(HPROPSHEETPAGE page, LPARAM pages) {
    reinterpret_cast<std::vector<HPROPSHEETPAGE>*>(pages)->push_back(page);
    return TRUE;
}

bool ShowPageInSheet(testsupport::Caller caller, IShellPropSheetExt* extension, const char* title,
                     const std::function<void(HWND sheet, HWND page)>& drive) {
    std::vector<HPROPSHEETPAGE> pages;
    if (extension->AddPages(CollectPage, reinterpret_cast<LPARAM>(&pages)) != S_OK || pages.size() != 1) {
        (caller.fail ? caller.fail : testsupport::PrintFailure)(
            caller, "AddPages added " + std::to_string(pages.size()) + " pages, not one");
        for (HPROPSHEETPAGE page : pages) DestroyPropertySheetPage(page);
        return false;
    }
    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_NOCONTEXTHELP;
    header.pszCaption = title;
    header.nPages = 1;
    header.phpage = pages.data();
    return DriveModalWindow(caller, title, [&] { PropertySheetA(&header); },
                            [&](HWND sheet) { drive(sheet, PropSheet_GetCurrentPageHwnd(sheet)); });
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

std::string DescriptionFile(const std::string& folder) {
    return testsupport::ReadFileBytes(folder + "\\DESCRIPT.ION");
}

}  // namespace shellext
