// IShellExtInit of CShellExtension: takes the selected file from the data object.
#include "ShellExtension.h"

#include <shellapi.h>

#include "module/WideWindows.h"

namespace {

// The one file's path; false when it would arrive cut (and so name another file).
bool CopyAnsiFile(HDROP drop, char* path) {
    const UINT length = DragQueryFileA(drop, 0, nullptr, 0);
    if (length == 0 || length >= MAX_PATH) return false;
    return DragQueryFileA(drop, 0, path, MAX_PATH) != 0;
}

bool CopyWideFile(const WideWindows* wide, HDROP drop, wchar_t* path) {
    const UINT length = wide->dragQueryFile(drop, 0, nullptr, 0);
    if (length == 0 || length >= MAX_PATH) return false;
    return wide->dragQueryFile(drop, 0, path, MAX_PATH) != 0;
}

}  // namespace

UINT SingleFileOfDrop(HDROP drop, SelectedFile* file) {
    // DragQueryFileA gives '?' for every letter of a name that the ANSI code
    // page lacks, so that two files' names become one; the wide name is the
    // file's own.
    const WideWindows* wide = Wide();
    const UINT count = wide ? wide->dragQueryFile(drop, 0xFFFFFFFF, nullptr, 0) : DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    if (count != 1) return count;
    SelectedFile found;
    found.Clear();
    found.wide = wide != nullptr;
    if (wide ? CopyWideFile(wide, drop, found.unicode) : CopyAnsiFile(drop, found.ansi)) *file = found;
    return count;
}

STDMETHODIMP CShellExtension::Initialize(PCIDLIST_ABSOLUTE folder, IDataObject* data, HKEY programKey) {
    if (!data) return E_UNEXPECTED;

    FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    m_selected.Clear();
    if (data->GetData(&format, &medium) == S_OK) {
        SelectedFile file;
        file.Clear();
        if (medium.hGlobal && SingleFileOfDrop(static_cast<HDROP>(medium.hGlobal), &file) == 1) m_selected = file;
        ReleaseStgMedium(&medium);
    }

    data->AddRef();
    if (m_dataObject) m_dataObject->Release();
    m_dataObject = data;
    return S_OK;
}
