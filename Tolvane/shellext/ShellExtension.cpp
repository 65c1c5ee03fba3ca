// Identity, lifetime and the copy hook of CShellExtension.
#include "ShellExtension.h"

#include "ClassId.h"
#include "InterfaceTable.h"
#include "Module.h"

CShellExtension::CShellExtension()
    : m_referenceCount(0), m_dataObject(nullptr), m_pageReferences(0) {
    m_selectedFile[0] = '\0';
    ObjectCreated();
}

CShellExtension::~CShellExtension() {
    if (m_dataObject) m_dataObject->Release();
    ObjectDestroyed();
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

// An apartment-threaded object is called on one thread: a plain count will do.
STDMETHODIMP_(ULONG) CShellExtension::AddRef() { return ++m_referenceCount; }

STDMETHODIMP_(ULONG) CShellExtension::Release() {
    if (--m_referenceCount == 0) {
        delete this;
        return 0;
    }
    return m_referenceCount;
}

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
