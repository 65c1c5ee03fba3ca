// The class factory of Tolvane's one class (ClassFactory.h): its interface table, its
// reference count and CreateInstance, which makes a CShellExtension.
#include "ClassFactory.h"

#include <new>

#include "ClassId.h"
#include "InterfaceTable.h"
#include "ShellExtension.h"

STDMETHODIMP CClassFactory::QueryInterface(REFIID iid, void** object) {
    static const InterfaceEntry<CClassFactory> kInterfaces[] = {
        {&IID_TolvaneUnknown, InterfaceOf<IClassFactory, CClassFactory>},
        {&IID_TolvaneClassFactory, InterfaceOf<IClassFactory, CClassFactory>},
    };
    return QueryInterfaceTable(this, kInterfaces, iid, object);
}

STDMETHODIMP_(ULONG) CClassFactory::AddRef() { return AddReference(); }

STDMETHODIMP_(ULONG) CClassFactory::Release() { return ReleaseReference(); }

STDMETHODIMP CClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    CShellExtension* extension = new (std::nothrow) CShellExtension();
    if (!extension) return E_OUTOFMEMORY;
    // Hold the new object while asking it, so that a refused interface frees it
    // again and the live-object count stays true.
    extension->AddRef();
    HRESULT result = extension->QueryInterface(iid, object);
    extension->Release();
    return result;
}

// Locking does not keep the library loaded: only live objects do.
STDMETHODIMP CClassFactory::LockServer(BOOL lock) { return S_OK; }
