// The COM entry points of Tolvane.dll.
#include <new>

#include <objbase.h>
#include <shlwapi.h>

#include "ClassFactory.h"
#include "ClassId.h"
#include "module/Module.h"
#include "Version.h"

#if !defined(_WIN64)
static_assert(sizeof(DLLVERSIONINFO) == 20, "DLLVERSIONINFO is 20 bytes");
#endif

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID classId, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!IsEqualCLSID(classId, CLSID_Tolvane)) return CLASS_E_CLASSNOTAVAILABLE;
    CClassFactory* factory = new (std::nothrow) CClassFactory();
    if (!factory) return E_OUTOFMEMORY;
    // Held across the query, so that a refused interface frees the factory.
    factory->AddRef();
    HRESULT result = factory->QueryInterface(iid, object);
    factory->Release();
    return result;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return InterlockedCompareExchange(&g_liveObjects, 0, 0) == 0 ? S_OK : S_FALSE;
}

// Writes each field only when the caller's cbSize covers it; callers test for a
// negative result only, so the success value is the record's full size.
extern "C" HRESULT STDAPICALLTYPE DllGetVersion(DLLVERSIONINFO* info) {
    if (!info) return E_POINTER;
    const DWORD size = info->cbSize;
    if (size >= 8) info->dwMajorVersion = TOLVANE_VERSION_MAJOR;
    if (size >= 12) info->dwMinorVersion = TOLVANE_VERSION_MINOR;
    if (size >= 16) info->dwBuildNumber = TOLVANE_VERSION_BUILD;
    if (size >= 20) info->dwPlatformID = DLLVER_PLATFORM_WINDOWS;
    return 20;
}
