// The class identifier of Tolvane and the interface identifiers its objects
// answer to, spelled out here so that the QueryInterface tables compare against
// exactly these 16 bytes.
#pragma once

#include <windows.h>

extern const CLSID CLSID_Tolvane;            // TOLVANE_CLASS_ID of Contract.h
extern const IID IID_TolvaneUnknown;         // IUnknown
extern const IID IID_TolvaneClassFactory;    // IClassFactory
extern const IID IID_TolvaneShellExtInit;    // IShellExtInit
extern const IID IID_TolvaneContextMenu;     // IContextMenu
extern const IID IID_TolvanePropSheetExt;    // IShellPropSheetExt
extern const IID IID_TolvaneCopyHookA;       // IShellCopyHookA
