// A file's context menu as Explorer builds it (FileMenu.h): the shell's menu and every
// registered context-menu handler it left out.
#include "FileMenu.h"

#include <algorithm>

namespace demo {

namespace {

const UINT kShellFirst = 1, kShellLast = 0x0FFF;         // the shell's own entries
const UINT kHandlersFirst = 0x1000, kHandlersLast = 0x7FFF;
const char kHandlersKey[] = "*\\shellex\\ContextMenuHandlers";

std::string ItemText(HMENU menu, int position) {
    char text[1024] = "";
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    std::string shown(text);
    shown.erase(std::remove(shown.begin(), shown.end(), '&'), shown.end());
    return shown;
}

std::vector<std::string> ItemTexts(HMENU menu) {
    std::vector<std::string> texts;
    for (int position = 0; position < GetMenuItemCount(menu); ++position) texts.push_back(ItemText(menu, position));
    return texts;
}

// A handler's class id: the key's default value, or the key's own name when that is one.
std::string HandlerClassId(HKEY handlers, const char* name) {
    char value[128] = "";
    LONG size = sizeof value;
    if (RegQueryValueA(handlers, name, value, &size) == ERROR_SUCCESS && value[0] == '{') return value;
    return name;
}

}  // namespace

FileMenu::FileMenu() { popup_ = CreatePopupMenu(); }

FileMenu::~FileMenu() {
    for (Handler& handler : handlers_) handler.menu->Release();
    if (shellMenu_) shellMenu_->Release();
    DestroyMenu(popup_);
}

bool FileMenu::Build(const std::string& path) {
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    PIDLIST_ABSOLUTE item = nullptr;
    if (FAILED(SHParseDisplayName(wide, nullptr, &item, 0, nullptr))) return false;
    IShellFolder* parent = nullptr;
    PCUITEMID_CHILD child = nullptr;
    if (SUCCEEDED(SHBindToParent(item, IID_IShellFolder, reinterpret_cast<void**>(&parent), &child))) {
        parent->GetUIObjectOf(nullptr, 1, &child, IID_IContextMenu, nullptr, reinterpret_cast<void**>(&shellMenu_));
        parent->Release();
    }
    CoTaskMemFree(item);
    if (!shellMenu_) return false;
    HRESULT filled = shellMenu_->QueryContextMenu(popup_, 0, kShellFirst, kShellLast, CMF_NORMAL);
    if (FAILED(filled)) return false;
    shellCount_ = HRESULT_CODE(filled);
    AddHandlers(path, PropertiesPosition());
    return true;
}

UINT FileMenu::PropertiesPosition() const {
    int count = GetMenuItemCount(popup_);
    for (int position = 0; position < count; ++position) {
        UINT id = GetMenuItemID(popup_, position);
        if (id < kShellFirst || id >= kShellFirst + shellCount_) continue;
        char verb[64] = "";
        shellMenu_->GetCommandString(id - kShellFirst, GCS_VERBA, nullptr, verb, sizeof verb);
        if (lstrcmpiA(verb, "properties") != 0 && ItemText(popup_, position) != "Properties") continue;
        // Before the separator that sets Properties apart.
        bool separated = position > 0 && (GetMenuState(popup_, position - 1, MF_BYPOSITION) & MF_SEPARATOR);
        return separated ? position - 1 : position;
    }
    return count;
}

void FileMenu::AddHandlers(const std::string& path, UINT position) {
    HKEY handlers = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, kHandlersKey, 0, KEY_READ, &handlers) != ERROR_SUCCESS) return;
    HKEY fileClass = nullptr;
    RegOpenKeyExA(HKEY_CLASSES_ROOT, "*", 0, KEY_READ, &fileClass);
    UINT next = kHandlersFirst;
    char name[256];
    for (DWORD index = 0; RegEnumKeyA(handlers, index, name, sizeof name) == ERROR_SUCCESS; ++index) {
        Handler handler;
        handler.classId = HandlerClassId(handlers, name);
        std::string label = std::string(name) + " " + handler.classId;
        wchar_t wideId[64] = L"";
        MultiByteToWideChar(CP_ACP, 0, handler.classId.c_str(), -1, wideId, 64);
        CLSID classId;
        IShellExtInit* init = nullptr;
        if (FAILED(CLSIDFromString(wideId, &classId)) ||
            FAILED(CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IShellExtInit,
                                    reinterpret_cast<void**>(&init)))) {
            notes_.push_back(label + ": no object (CoCreateInstance failed)");
            continue;
        }
        shellext::Ref<IDataObject> data(shellext::MakeFileDataObject({path}));
        HRESULT initialized = data ? init->Initialize(nullptr, data.Get(), fileClass) : E_FAIL;
        if (SUCCEEDED(initialized)) init->QueryInterface(IID_IContextMenu, reinterpret_cast<void**>(&handler.menu));
        init->Release();
        if (!handler.menu) {
            notes_.push_back(label + ": not initialised");
            continue;
        }
        // Did the shell's own menu already hold what this handler adds?
        HMENU scratch = CreatePopupMenu();
        handler.menu->QueryContextMenu(scratch, 0, next, kHandlersLast, CMF_NORMAL);
        std::vector<std::string> own = ItemTexts(scratch), shown = ItemTexts(popup_);
        DestroyMenu(scratch);
        bool inShellMenu = !own.empty();
        for (const std::string& text : own)
            if (std::find(shown.begin(), shown.end(), text) == shown.end()) inShellMenu = false;
        if (inShellMenu) {
            notes_.push_back(label + ": already in the shell's menu");
            handler.menu->Release();
            continue;
        }
        HRESULT added = handler.menu->QueryContextMenu(popup_, position, next, kHandlersLast, CMF_NORMAL);
        handler.first = next;
        handler.count = SUCCEEDED(added) ? HRESULT_CODE(added) : 0;
        next += handler.count;
        position += handler.count;
        notes_.push_back(label + ": not in the shell's menu; added here (" + std::to_string(handler.count) +
                         " entr" + (handler.count == 1 ? "y)" : "ies)"));
        handlers_.push_back(handler);
    }
    if (fileClass) RegCloseKey(fileClass);
    RegCloseKey(handlers);
}

std::string FileMenu::Entries() const {
    std::string entries;
    for (int position = 0; position < GetMenuItemCount(popup_); ++position) {
        bool separator = GetMenuState(popup_, position, MF_BYPOSITION) & MF_SEPARATOR;
        entries += (position ? " | " : "") + (separator ? std::string("-") : ItemText(popup_, position));
    }
    return entries;
}

UINT FileMenu::HandlerCommand(const char* classId) const {
    for (const Handler& handler : handlers_)
        if (lstrcmpiA(handler.classId.c_str(), classId) == 0 && handler.count > 0) return handler.first;
    return 0;
}

UINT FileMenu::Track(HWND owner, POINT screen) const {
    SetForegroundWindow(owner);
    return static_cast<UINT>(TrackPopupMenu(popup_, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN, screen.x,
                                            screen.y, 0, owner, nullptr));
}

HRESULT FileMenu::Invoke(HWND owner, UINT command) {
    CMINVOKECOMMANDINFO info = {sizeof info};
    info.hwnd = owner;
    info.nShow = SW_SHOWNORMAL;
    if (command >= kShellFirst && command < kShellFirst + shellCount_) {
        info.lpVerb = MAKEINTRESOURCEA(command - kShellFirst);
        return shellMenu_->InvokeCommand(&info);
    }
    for (Handler& handler : handlers_) {
        if (command < handler.first || command >= handler.first + handler.count) continue;
        info.lpVerb = MAKEINTRESOURCEA(command - handler.first);
        return handler.menu->InvokeCommand(&info);
    }
    return E_INVALIDARG;
}

HRESULT FileMenu::InvokeShellVerb(HWND owner, const char* verb) {
    CMINVOKECOMMANDINFO info = {sizeof info};
    info.hwnd = owner;
    info.nShow = SW_SHOWNORMAL;
    info.lpVerb = verb;
    return shellMenu_ ? shellMenu_->InvokeCommand(&info) : E_UNEXPECTED;
}

}  // namespace demo
