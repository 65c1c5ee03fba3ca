// Reading windows and pressing their buttons (WindowControls.h).
#include "WindowControls.h"

#include "TestSupport.h"

#include <vector>

namespace testsupport {

std::string WindowText(HWND window) {
    if (!window) return std::string();
    // The length may be larger than the text (DBCS), never smaller.
    std::vector<char> text(static_cast<size_t>(GetWindowTextLengthA(window)) + 2, '\0');
    GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    return text.data();
}

std::string ControlText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

std::string ClassName(HWND window) {
    char name[256] = "";
    if (window) GetClassNameA(window, name, sizeof name);
    return name;
}

std::string MessageBoxText(HWND box) { return ControlText(box, 0xFFFF); }

void ClickButtonBySend(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void PostCommand(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void TypeInto(HWND dialog, int id, const std::string& text) {
    HWND edit = GetDlgItem(dialog, id);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    if (text.empty()) SendMessageA(edit, WM_CHAR, VK_BACK, 0);
    for (char c : text) SendMessageA(edit, WM_CHAR, static_cast<BYTE>(c), 0);
}

void TypeInto(HWND dialog, int id, const std::wstring& text) {
    HWND edit = GetDlgItem(dialog, id);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    if (text.empty()) SendMessageW(edit, WM_CHAR, VK_BACK, 0);
    for (wchar_t c : text) SendMessageW(edit, WM_CHAR, c, 0);
}

std::string WideText(HWND window) {
    if (!window) return std::string();
    std::vector<wchar_t> text(static_cast<size_t>(GetWindowTextLengthW(window)) + 2, L'\0');
    GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    return Utf8(text.data());
}

}  // namespace testsupport
