// IShellExtInit of CShellExtension: takes the selected file from the data object.
#include "ShellExtension.h"

#include <shellapi.h>

UINT SingleFileOfDrop(HDROP drop, char* path) {
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    if (count != 1) return count;
    // A longer path would arrive cut and name another file: take none then.
    const UINT length = DragQueryFileA(drop, 0, nullptr, 0);
    if (length == 0 || length >= MAX_PATH) return count;
    if (DragQueryFileA(drop, 0, path, MAX_PATH) == 0) path[0] = '\0';
    return count;
}

STDMETHODIMP CShellExtension::Initialize(PCIDLIST_ABSOLUTE folder, IDataObject* data, HKEY programKey) {
    if (!data) return E_UNEXPECTED;

    FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    m_selectedFile[0] = '\0';
    if (data->GetData(&format, &medium) == S_OK) {
        char path[MAX_PATH] = "";
        if (medium.hGlobal && SingleFileOfDrop(static_cast<HDROP>(medium.hGlobal), path) == 1)
            lstrcpynA(m_selectedFile, path, MAX_PATH);
        ReleaseStgMedium(&medium);
    }

    data->AddRef();
    if (m_dataObject) m_dataObject->Release();
    m_dataObject = data;
    return S_OK;
}
