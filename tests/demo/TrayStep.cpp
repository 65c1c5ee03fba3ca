// Tolvard.exe as a user meets it, on a desktop with a notification area: the
// splash, the hidden frame with its icon, the hook it starts, the context-menu
// switch toggled through the frame as the icon's menu does it, and Exit.
#include "DemoSteps.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include "ShellextTestSupport.h"
#include "TestSupport.h"
#include "resource.h"   // Tolvard's command ids

namespace demo {

namespace {

const char kExplorerKey[] = "SOFTWARE\\Varnoke\\Tolvard\\Explorer";
const char kSettingsKey[] = "SOFTWARE\\Varnoke\\Tolvard\\Settings";
const char kHandlerKey[] = "*\\shellex\\ContextMenuHandlers\\Tolvane";
const char kPageHandlerKey[] = "*\\shellex\\PropertySheetHandlers\\Tolvane";
const int kDescriptionField = 1001;   // the page's edit field (Tolvane/shellext/Resource.h)

struct ProcessWindow {
    DWORD processId;
    const char* title;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
    ProcessWindow* search = reinterpret_cast<ProcessWindow*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || shellext::WindowText(window) != search->title) return TRUE;
    search->found = window;
    return FALSE;
}

// A top-level window of the process with the title, waited for up to timeoutMs.
HWND WaitForWindow(HANDLE process, const char* title, DWORD timeoutMs) {
    ProcessWindow search = {GetProcessId(process), title, nullptr};
    for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(50)) {
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) break;
    }
    return search.found;
}

bool WaitForWindowGone(HWND window, DWORD timeoutMs) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(50))
        if (!IsWindow(window)) return true;
    return false;
}

// Is there an icon of this window and id in the notification area? Changing
// nothing succeeds exactly for an icon the shell holds.
bool IconShown(HWND window, UINT id) {
    NOTIFYICONDATAA probe = {};
    probe.cbSize = NOTIFYICONDATAA_V1_SIZE;
    probe.hWnd = window;
    probe.uID = id;
    return Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

std::string SwitchState() {
    return "HKCU\\...\\Tolvard\\Settings EnableContext = " +
           RegistryText(HKEY_CURRENT_USER, kSettingsKey, "EnableContext") + "\n    HKCR\\" + kHandlerKey + " = " +
           RegistryText(HKEY_CLASSES_ROOT, kHandlerKey, nullptr);
}

// Toggles the switch as the icon's menu does (WM_COMMAND to the frame) and waits
// for the registry to change.
bool Toggle(HWND frame) {
    std::string before = SwitchState();
    PostMessageA(frame, WM_COMMAND, ID_TOGGLE_CONTEXT, 0);
    for (DWORD start = GetTickCount(); GetTickCount() - start < 5000; Sleep(50))
        if (SwitchState() != before) break;
    std::string after = SwitchState();
    Say("  after WM_COMMAND %d (ID_TOGGLE_CONTEXT) to the frame:", ID_TOGGLE_CONTEXT);
    Say("    %s", after.c_str());
    return after != before;
}

// The properties dialog of Wine's shell for one file, opened through the
// "properties" verb of the file's shell menu as Explorer does: its page titles,
// and the text of the Description page's field when there is that page.
std::string ShellPropertiesPages(const std::string& path) {
    shellext::Apartment apartment;
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    PIDLIST_ABSOLUTE item = nullptr;
    if (FAILED(SHParseDisplayName(wide, nullptr, &item, 0, nullptr))) return "(the shell does not know the file)";
    shellext::Ref<IShellFolder> parent;
    PCUITEMID_CHILD child = nullptr;
    shellext::Ref<IContextMenu> shellMenu;
    if (SUCCEEDED(SHBindToParent(item, IID_IShellFolder, parent.OutVoid(), &child)))
        parent->GetUIObjectOf(nullptr, 1, &child, IID_IContextMenu, nullptr, shellMenu.OutVoid());
    CoTaskMemFree(item);
    if (!shellMenu) return "(the shell made no menu)";
    HMENU menu = CreatePopupMenu();
    shellMenu->QueryContextMenu(menu, 0, 1, 0x7FFF, CMF_NORMAL);
    DestroyMenu(menu);

    std::string pages;
    CMINVOKECOMMANDINFO info = {sizeof info};
    info.lpVerb = "properties";
    info.nShow = SW_SHOWNORMAL;
    size_t slash = path.find_last_of('\\');
    std::string title = "Properties for " + path.substr(slash + 1);
    bool driven = shellext::DriveModalWindow(
        title.c_str(), [&] { shellMenu->InvokeCommand(&info); },
        [&](HWND sheet) {
            HWND tabs = PropSheet_GetTabControl(sheet);
            int count = static_cast<int>(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0));
            for (int index = 0; index < count; ++index) {
                char text[128] = "";
                TCITEMA tab = {};
                tab.mask = TCIF_TEXT;
                tab.pszText = text;
                tab.cchTextMax = sizeof text;
                SendMessageA(tabs, TCM_GETITEMA, index, reinterpret_cast<LPARAM>(&tab));
                pages += (index ? " | " : "") + std::string(text);
                if (std::string(text) != "Description") continue;
                PropSheet_SetCurSel(sheet, nullptr, index);
                HWND page = PropSheet_GetCurrentPageHwnd(sheet);
                pages += " (field: \"" + shellext::WindowText(GetDlgItem(page, kDescriptionField)) + "\")";
            }
            PropSheet_PressButton(sheet, PSBTN_CANCEL);
        },
        15000);
    return driven ? "\"" + title + "\": " + pages : "(no \"" + title + "\" dialog)";
}

// Toggles the property-page switch and opens the shell's properties dialog of the file.
bool TogglePage(HWND frame, const std::string& file, bool expectPage) {
    PostMessageA(frame, WM_COMMAND, ID_TOGGLE_PROPERTY, 0);
    std::string before = RegistryText(HKEY_CURRENT_USER, kSettingsKey, "EnableProperty");
    for (DWORD start = GetTickCount(); GetTickCount() - start < 5000; Sleep(50))
        if (RegistryText(HKEY_CURRENT_USER, kSettingsKey, "EnableProperty") != before) break;
    std::string pages = ShellPropertiesPages(file);
    Say("  after WM_COMMAND %d (ID_TOGGLE_PROPERTY): EnableProperty = %s", ID_TOGGLE_PROPERTY,
        RegistryText(HKEY_CURRENT_USER, kSettingsKey, "EnableProperty").c_str());
    Say("    HKCR\\%s = %s", kPageHandlerKey, RegistryText(HKEY_CLASSES_ROOT, kPageHandlerKey, nullptr).c_str());
    Say("    %s", pages.c_str());
    return (pages.find("Description") != std::string::npos) == expectPage;
}

// Whether the system has mapped Tolvane.dll into this process: it does so at the
// first hooked event (here: a window made and destroyed) while a CBT hook of it runs.
bool HookReachesThisProcess() {
    for (DWORD start = GetTickCount(); GetTickCount() - start < 5000; Sleep(100)) {
        HWND probe = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        DestroyWindow(probe);
        testsupport::PumpMessages(0);
        if (GetModuleHandleA("Tolvane.dll")) return true;
    }
    return false;
}

int RunTolvard(const std::string& file) {
    if (!FindWindowA("Shell_TrayWnd", nullptr)) {
        Say("no notification area on this desktop");
        return 1;
    }
    Say("this desktop has a notification area (Shell_TrayWnd)");
    std::string program = FullPath(testsupport::DistFile("Tolvard.exe"));
    HANDLE process = testsupport::StartProcess("\"" + program + "\"");
    if (!process) {
        Say("could not start %s", program.c_str());
        return 1;
    }
    Say("started %s (pid %lu)", program.c_str(), GetProcessId(process));

    int failures = 0;
    HWND splash = WaitForWindow(process, "About Tolvard", 20000);
    DWORD shown = GetTickCount();
    if (!splash) {
        Say("no splash appeared");
        ++failures;
    } else if (!WaitForWindowGone(splash, 20000)) {
        Say("the splash \"About Tolvard\" did not close itself within 20 s");
        PostMessageA(splash, WM_COMMAND, IDOK, 0);
        ++failures;
    } else {
        DWORD lasted = GetTickCount() - shown;
        Say("splash \"About Tolvard\" shown, closed itself after %lu.%lu s", lasted / 1000, lasted % 1000 / 100);
    }

    HWND frame = nullptr;
    for (DWORD start = GetTickCount(); !frame && GetTickCount() - start < 20000; Sleep(50)) {
        HWND found = FindWindowA(nullptr, "Tolvard");
        DWORD owner = 0;
        if (found) GetWindowThreadProcessId(found, &owner);
        if (owner == GetProcessId(process)) frame = found;
    }
    if (!frame) {
        Say("no frame window \"Tolvard\" appeared");
        TerminateProcess(process, 1);
        CloseHandle(process);
        return 1;
    }
    Say("FindWindowA(NULL, \"Tolvard\"): its frame, class %s, %s", shellext::ClassName(frame).c_str(),
        IsWindowVisible(frame) ? "visible" : "hidden");
    Say("its icon (id %d) is in the notification area: %s", IDR_TRAYICON, IconShown(frame, IDR_TRAYICON) ? "yes" : "no");
    bool hooked = HookReachesThisProcess();
    Say("Tolvard's column hook has loaded Tolvane.dll into this process too: %s", hooked ? "yes" : "no");
    if (!hooked) ++failures;

    Say("the context-menu switch, as the icon's menu toggles it:");
    Say("  before (no value yet: the switch counts as on):");
    Say("    %s", SwitchState().c_str());
    if (!Toggle(frame)) ++failures;
    if (!Toggle(frame)) ++failures;

    Say("the property-page switch, and what Wine's shell then shows for %s:", file.c_str());
    if (!TogglePage(frame, file, false)) ++failures;
    if (!TogglePage(frame, file, true)) ++failures;

    PostMessageA(frame, WM_COMMAND, ID_APP_EXIT, 0);
    bool ended = WaitForSingleObject(process, 15000) == WAIT_OBJECT_0;
    DWORD code = 259;
    if (!ended) TerminateProcess(process, 1);
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    if (!ended) {
        Say("WM_COMMAND %d (ID_APP_EXIT): Tolvard did not end within 15 s; terminated", ID_APP_EXIT);
        return 1;
    }
    Say("WM_COMMAND %d (ID_APP_EXIT): Tolvard ended (exit code %lu); icon still shown: %s", ID_APP_EXIT, code,
        IconShown(frame, IDR_TRAYICON) ? "yes" : "no");
    return failures ? 1 : 0;
}

}  // namespace

int TrayStep(const std::string& file) {
    // A clean start in this prefix: no settings, no handler key, the class
    // registered as an installation writes it, the Explorer texts already learned
    // (so that no wizard comes up).
    testsupport::CleanSettings clean;
    testsupport::DeleteRegTree(HKEY_CLASSES_ROOT, kHandlerKey);
    testsupport::DeleteRegTree(HKEY_CLASSES_ROOT, kPageHandlerKey);
    shellext::RegisteredServer server;
    testsupport::SetRegString(HKEY_CURRENT_USER, kExplorerKey, "ExplorerTitlePrefix", "\"Exploring - \"");
    const char* names[] = {"ExplorerName", "ExplorerSize", "ExplorerType", "ExplorerModified"};
    const char* titles[] = {"Name", "Size", "Type", "Modified"};
    for (int index = 0; index < 4; ++index)
        testsupport::SetRegString(HKEY_CURRENT_USER, kExplorerKey, names[index], titles[index], false);
    Say("class registered (HKCR\\%s\\InProcServer32), Explorer's texts stored, no Settings yet",
        shellext::kTolvaneClassKey);
    int result = server.Ok() ? RunTolvard(file) : 1;
    testsupport::DeleteRegTree(HKEY_CLASSES_ROOT, kHandlerKey);
    testsupport::DeleteRegTree(HKEY_CLASSES_ROOT, kPageHandlerKey);
    return result;
}

}  // namespace demo
