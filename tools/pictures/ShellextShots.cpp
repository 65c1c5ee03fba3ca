// Shows the context-menu entry, the edit dialog or the property page of
// Tolvane.dll for a sample file; started by scripts/screenshots it asks for its
// picture once that is shown and closes it, started by hand it waits until closed.
//   shellext_shots menu | dialog | page
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "ScreenShots.h"
#include "ShellextTestSupport.h"
#include "TestSupport.h"

using namespace shellext;

namespace {

const char kFolder[] = "C:\\Reports";
const char kFile[] = "C:\\Reports\\Annual Report 2003.doc";

// The sample: a long-named file with descriptions for its long and short names.
void MakeSample() {
    CreateDirectoryA(kFolder, nullptr);
    testsupport::WriteFileBytes(kFile, "sample");
    char shortPath[MAX_PATH] = "";
    GetShortPathNameA(kFile, shortPath, MAX_PATH);
    const char* shortName = strrchr(shortPath, '\\');
    const std::string file = std::string(kFolder) + "\\DESCRIPT.ION";
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    testsupport::WriteFileBytes(file, std::string("\"Annual Report 2003.doc\" Budget figures for 2003, final version\r\n") +
                                          (shortName ? shortName + 1 : "ANNUAL~1.DOC") + " Annual report 2003\r\n");
}

IUnknown* MakeExtension() {
    HMODULE library = LoadLibraryA(testsupport::DistFile("Tolvane.dll").c_str());
    auto getClassObject =
        Export<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(library, "DllGetClassObject");
    if (!getClassObject) return nullptr;
    IClassFactory* factory = nullptr;
    if (FAILED(getClassObject(contract::kClassId, IID_IClassFactory, reinterpret_cast<void**>(&factory)))) return nullptr;
    IUnknown* extension = nullptr;
    factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&extension));
    factory->Release();
    IShellExtInit* init = nullptr;
    if (extension && SUCCEEDED(extension->QueryInterface(IID_IShellExtInit, reinterpret_cast<void**>(&init)))) {
        IDataObject* data = MakeFileDataObject({kFile});
        if (data) {
            init->Initialize(nullptr, data, nullptr);
            data->Release();
        }
        init->Release();
    }
    return extension;
}

void ShowMenu(IUnknown* extension) {
    IContextMenu* menu = nullptr;
    extension->QueryInterface(IID_IContextMenu, reinterpret_cast<void**>(&menu));
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "ShellextShotsOwner";
    RegisterClassA(&windowClass);
    HWND owner = CreateWindowA("ShellextShotsOwner", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                               windowClass.hInstance, nullptr);
    HMENU popup = CreatePopupMenu();
    AppendMenuA(popup, MF_STRING, 1, "&Open");
    AppendMenuA(popup, MF_STRING, 2, "&Print");
    AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
    menu->QueryContextMenu(popup, 3, 100, 200, CMF_NORMAL);
    AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(popup, MF_STRING, 3, "Cu&t");
    AppendMenuA(popup, MF_STRING, 4, "&Copy");
    AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(popup, MF_STRING, 5, "P&roperties");
    SetForegroundWindow(owner);
    const UINT chosen = TrackPopupMenu(popup, TPM_RETURNCMD | TPM_LEFTALIGN, 40, 40, 0, owner, nullptr);
    if (chosen == 100) {
        CMINVOKECOMMANDINFO info = {sizeof info};
        info.hwnd = owner;
        menu->InvokeCommand(&info);
    }
    menu->Release();
}

void ShowDialog(IUnknown* extension) {
    IContextMenu* menu = nullptr;
    extension->QueryInterface(IID_IContextMenu, reinterpret_cast<void**>(&menu));
    HMENU popup = CreatePopupMenu();
    menu->QueryContextMenu(popup, 0, 1, 10, CMF_NORMAL);
    DestroyMenu(popup);
    CMINVOKECOMMANDINFO info = {sizeof info};
    menu->InvokeCommand(&info);
    menu->Release();
}

// Brings the window that the modal loop shows to the front, so that it is
// drawn active.
void CALLBACK ActivateShown(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND shown = GetActiveWindow();
    if (!shown) shown = FindWindowA("#32770", nullptr);
    if (shown) SetForegroundWindow(shown);
}

BOOL CALLBACK CollectPage(HPROPSHEETPAGE page, LPARAM pages) {
    reinterpret_cast<std::vector<HPROPSHEETPAGE>*>(pages)->push_back(page);
    return TRUE;
}

void ShowPage(IUnknown* extension) {
    IShellPropSheetExt* sheet = nullptr;
    extension->QueryInterface(IID_IShellPropSheetExt, reinterpret_cast<void**>(&sheet));
    std::vector<HPROPSHEETPAGE> pages;
    sheet->AddPages(CollectPage, reinterpret_cast<LPARAM>(&pages));
    sheet->Release();
    if (pages.empty()) return;
    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPTITLE | PSH_NOCONTEXTHELP;
    header.pszCaption = "Annual Report 2003.doc";
    header.nPages = static_cast<UINT>(pages.size());
    header.phpage = pages.data();
    PropertySheetA(&header);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "dialog";
    CoInitialize(nullptr);
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);
    MakeSample();
    SetTimer(nullptr, 0, 500, ActivateShown);
    shots::TakeWhenShown();
    IUnknown* extension = MakeExtension();
    if (!extension) return 1;
    if (mode == "menu")
        ShowMenu(extension);
    else if (mode == "page")
        ShowPage(extension);
    else
        ShowDialog(extension);
    extension->Release();
    CoUninitialize();
    return shots::Wanted() && !shots::TakenWhenShown() ? 1 : 0;
}
