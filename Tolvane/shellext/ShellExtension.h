// CShellExtension: the one COM class of Tolvane. For one selected file it adds
// the context-menu entry (ContextMenu.cpp), opens the edit dialog and adds the
// "Description" property page (PropSheetExt.cpp). All interface pointers of one
// object share its one reference count and its identity.
#pragma once

#include <windows.h>
#include <shlobj.h>
#include <prsht.h>

#include "ReferenceCounted.h"
#include "SelectedFile.h"

class CShellExtension : public IContextMenu,
                        public IShellExtInit,
                        public IShellPropSheetExt,
                        public ICopyHookA,
                        private CReferenceCounted {
public:
    CShellExtension();

    // IUnknown, shared by all four bases.
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IContextMenu
    STDMETHODIMP QueryContextMenu(HMENU menu, UINT position, UINT firstCommand, UINT lastCommand,
                                  UINT flags) override;
    STDMETHODIMP InvokeCommand(CMINVOKECOMMANDINFO* info) override;
    STDMETHODIMP GetCommandString(UINT_PTR commandOffset, UINT type, UINT* reserved, CHAR* text,
                                  UINT size) override;

    // IShellExtInit
    STDMETHODIMP Initialize(PCIDLIST_ABSOLUTE folder, IDataObject* data, HKEY programKey) override;

    // IShellPropSheetExt
    STDMETHODIMP AddPages(LPFNADDPROPSHEETPAGE addPage, LPARAM addPageParam) override;
    STDMETHODIMP ReplacePage(UINT pageId, LPFNADDPROPSHEETPAGE replacePage, LPARAM replaceParam) override;

    // ICopyHookA
    STDMETHODIMP_(UINT) CopyCallback(HWND owner, UINT operation, UINT flags, LPCSTR source,
                                     DWORD sourceAttributes, LPCSTR destination,
                                     DWORD destinationAttributes) override;

    const SelectedFile& Selected() const { return m_selected; }

    // The page callback gives back the reference AddPages took for a page; it
    // does so at most once per reference taken.
    void ReleasePageReference();

private:
    ~CShellExtension() override;
    // The "Description" page, made in the selected file's form.
    HPROPSHEETPAGE CreateAnsiPage();
    HPROPSHEETPAGE CreateWidePage();

    SelectedFile m_selected;
    IDataObject* m_dataObject;
    // References held by pages that were handed to the property sheet and not
    // yet given back by their callbacks.
    LONG m_pageReferences;
};

// Copies the single file of a CF_HDROP drop into file, by its wide name where
// Windows has the wide functions (Windows NT), else by its ANSI name. Returns the
// number of files of the drop; file is set only when there is exactly one file
// and its full path fits, otherwise it is left alone.
UINT SingleFileOfDrop(HDROP drop, SelectedFile* file);
