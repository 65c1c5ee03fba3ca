// Identity, lifetime and the copy hook of CShellExtension.
#include "ShellExtension.h"

#include "ClassId.h"
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

STDMETHODIMP CShellExtension::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_TolvaneUnknown) || IsEqualIID(iid, IID_TolvaneShellExtInit))
        *object = static_cast<IShellExtInit*>(this);
    else if (IsEqualIID(iid, IID_TolvaneContextMenu))
        *object = static_cast<IContextMenu*>(this);
    else if (IsEqualIID(iid, IID_TolvanePropSheetExt))
        *object = static_cast<IShellPropSheetExt*>(this);
    else if (IsEqualIID(iid, IID_TolvaneCopyHookA))
        *object = static_cast<ICopyHookA*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
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
