// IContextMenu of CShellExtension: the entry with the file's description.
#include "ShellExtension.h"

#include <commctrl.h>

#include "Descriptions.h"
#include "EditDialog.h"
#include "MenuText.h"
#include "Settings.h"
#include "module/WideWindows.h"
#include "store/DescriptionFile.h"
#include "store/PathParts.h"

namespace {

const char kNoDescription[] = "*no description*";
const wchar_t kNoDescriptionW[] = L"*no description*";
const char kHelpTextA[] = "4DOS Description";
const wchar_t kHelpTextW[] = L"4DOS Description";

// From the low four flag bits: a plain menu, or an Explorer tree menu that is
// not a verbs-only one, gets the entry; a double click (default only) and the
// no-verbs menus do not.
bool WantsEntry(UINT flags) {
    if ((flags & 0xF) == 0) return true;
    if (flags & CMF_VERBSONLY) return false;
    return (flags & CMF_EXPLORE) != 0;
}

// The entry of a file known by its wide name: its description read in its own
// letters (a name that the folder's file cannot hold is looked up under the
// file's short name), in a wide menu item.
void InsertWideEntry(const WideWindows* wide, HMENU menu, UINT position, UINT command, const wchar_t* path) {
    wchar_t text[kMenuTextSize];
    CDescriptionFile file;
    file.Load(path);
    const wchar_t* found = file.FindDescription(path);
    if (!found || !found[0] ||
        EqualNoCase(std::wstring_view(found, TextLength(found)), std::wstring_view(path, TextLength(path))))
        lstrcpynW(text, kNoDescriptionW, kMenuTextSize);
    else
        BuildMenuText(found, ReadContextWidth(), text);
    file.Close();
    wide->insertMenu(menu, position, MF_BYPOSITION | MF_STRING, command, text);
}

}  // namespace

STDMETHODIMP CShellExtension::QueryContextMenu(HMENU menu, UINT position, UINT firstCommand,
                                               UINT lastCommand, UINT flags) {
    if (m_selected.Empty()) return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0);
    if (!WantsEntry(flags)) return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0);

    const WideWindows* wide = Wide();
    if (m_selected.wide) {
        if (!wide) return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0);
        InsertWideEntry(wide, menu, position, firstCommand, m_selected.unicode);
        return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1);
    }

    char description[kDescriptionSize] = "";
    ReadDescription(description, m_selected.ansi);

    char text[kMenuTextSize];
    if (description[0] == '\0')
        lstrcpynA(text, kNoDescription, sizeof text);
    else
        BuildMenuText(description, ReadContextWidth(), text);

    InsertMenuA(menu, position, MF_BYPOSITION | MF_STRING, firstCommand, text);
    return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1);
}

STDMETHODIMP CShellExtension::InvokeCommand(CMINVOKECOMMANDINFO* info) {
    if (!info) return E_INVALIDARG;
    const UINT_PTR verb = reinterpret_cast<UINT_PTR>(info->lpVerb);
    if ((verb >> 16) != 0) return E_INVALIDARG;   // a verb given as a string
    if (LOWORD(verb) != 0) return E_INVALIDARG;
    // Without one selected file there is nothing to edit (the menu had no entry).
    if (m_selected.Empty()) return E_UNEXPECTED;
    ShowEditDialog(info->hwnd, m_selected);
    return S_OK;
}

STDMETHODIMP CShellExtension::GetCommandString(UINT_PTR commandOffset, UINT type, UINT* reserved,
                                               CHAR* text, UINT size) {
    if (commandOffset != 0) return S_OK;
    if (!text || size == 0) return S_OK;
    if (type & GCS_UNICODE)
        lstrcpynW(reinterpret_cast<wchar_t*>(text), kHelpTextW, static_cast<int>(size));
    else if (type & GCS_HELPTEXTA)
        lstrcpynA(text, kHelpTextA, static_cast<int>(size));
    return S_OK;
}
