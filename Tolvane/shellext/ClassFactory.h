// The class factory of Tolvane's one class.
#pragma once

#include <objbase.h>

#include "ReferenceCounted.h"

class CClassFactory : public IClassFactory, private CReferenceCounted {
public:
    CClassFactory() {}

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    STDMETHODIMP LockServer(BOOL lock) override;

private:
    ~CClassFactory() override {}
};
