// QueryInterface as a table: each row names an interface identifier and the
// base of the object that answers it. The first matching row wins; the pointer
// handed out is AddRef'd through that base, which shares the object's count.
#pragma once

#include <windows.h>

template <class T>
struct InterfaceEntry {
    const IID* iid;
    IUnknown* (*base)(T* object);
};

// The row's cast: InterfaceOf<IShellExtInit, CShellExtension>.
template <class Interface, class T>
IUnknown* InterfaceOf(T* object) {
    return static_cast<Interface*>(object);
}

template <class T, size_t N>
HRESULT QueryInterfaceTable(T* object, const InterfaceEntry<T> (&table)[N], REFIID iid, void** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    for (const InterfaceEntry<T>& entry : table) {
        if (IsEqualIID(iid, *entry.iid)) {
            IUnknown* unknown = entry.base(object);
            unknown->AddRef();
            *result = unknown;
            return S_OK;
        }
    }
    return E_NOINTERFACE;
}
