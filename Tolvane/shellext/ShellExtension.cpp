// Identity, lifetime and the copy hook of CShellExtension.
#include "ShellExtension.h"

#include "ClassId.h"
#include "InterfaceTable.h"

CShellExtension::CShellExtension() : m_dataObject(nullptr), m_pageReferences(0) { m_selected.Clear(); }

CShellExtension::~CShellExtension() {
    if (m_dataObject) m_dataObject->Release();
}

// IUnknown

STDMETHODIMP CShellExtension::QueryInterface(REFIID iid, void** object) {
    static const InterfaceEntry<CShellExtension> kInterfaces[] = {
        {&IID_TolvaneUnknown, InterfaceOf<IShellExtInit, CShellExtension>},
        {&IID_TolvaneShellExtInit, InterfaceOf<IShellExtInit, CShellExtension>},
        {&IID_TolvaneContextMenu, InterfaceOf<IContextMenu, CShellExtension>},
        {&IID_TolvanePropSheetExt, InterfaceOf<IShellPropSheetExt, CShellExtension>},
        {&IID_TolvaneCopyHookA, InterfaceOf<ICopyHookA, CShellExtension>},
    };
    return QueryInterfaceTable(this, kInterfaces, iid, object);
}

STDMETHODIMP_(ULONG) CShellExtension::AddRef() { return AddReference(); }

STDMETHODIMP_(ULONG) CShellExtension::Release() { return ReleaseReference(); }

void CShellExtension::ReleasePageReference() {
    if (m_pageReferences <= 0) return;
    --m_pageReferences;
    Release();
}

// Never blocks a copy, move, rename or delete.
STDMETHODIMP_(UINT) CShellExtension::CopyCallback(HWND owner, UINT operation, UINT flags,
                                                  LPCSTR source, DWORD sourceAttributes,
                                                  LPCSTR destination, DWORD destinationAttributes) {
    return IDYES;
}
