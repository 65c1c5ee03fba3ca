// IShellPropSheetExt of CShellExtension: the "Description" page.
#include "ShellExtension.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstddef>

#include "module/Module.h"
#include "PropertyPage.h"
#include "Resource.h"
#include "module/WideWindows.h"

// The layout that ends with the (unused) header title and subtitle.
constexpr UINT kPageDescriptionSize = sizeof(PROPSHEETPAGEA_V2);
constexpr UINT kWidePageDescriptionSize = sizeof(PROPSHEETPAGEW_V2);
// The page procedure reads lParam through either layout.
static_assert(offsetof(PROPSHEETPAGEA, lParam) == offsetof(PROPSHEETPAGEW, lParam), "lParam at one place");
#if !defined(_WIN64)
static_assert(kPageDescriptionSize == 48, "the page description is the 48-byte layout");
#endif

STDMETHODIMP CShellExtension::AddPages(LPFNADDPROPSHEETPAGE addPage, LPARAM addPageParam) {
    if (!addPage) return S_OK;
    if (m_dataObject) {
        FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        STGMEDIUM medium = {};
        if (FAILED(m_dataObject->GetData(&format, &medium))) return S_OK;
        UINT count = 0;
        if (medium.hGlobal) count = SingleFileOfDrop(static_cast<HDROP>(medium.hGlobal), &m_selected);
        ReleaseStgMedium(&medium);
        if (count >= 2) return S_OK;
    }
    // A page for no file would show and store nothing meaningful.
    if (m_selected.Empty()) return S_OK;

    AddRef();
    ++m_pageReferences;
    HPROPSHEETPAGE page = m_selected.wide ? CreateWidePage() : CreateAnsiPage();
    if (!page) {
        ReleasePageReference();
        return S_OK;
    }
    if (!addPage(page, addPageParam)) {
        // Some common-controls versions run the page callback with PSPCB_RELEASE
        // here, others do not: give the page's reference back once either way.
        const LONG before = m_pageReferences;
        DestroyPropertySheetPage(page);
        if (m_pageReferences == before) ReleasePageReference();
    }
    return S_OK;
}

HPROPSHEETPAGE CShellExtension::CreateAnsiPage() {
    PROPSHEETPAGEA description = {};
    description.dwSize = kPageDescriptionSize;
    description.dwFlags = PSP_USETITLE | PSP_USEREFPARENT | PSP_USECALLBACK;
    description.hInstance = g_moduleHandle;
    description.pszTemplate = MAKEINTRESOURCEA(IDD_PROPERTY_PAGE);
    description.pszTitle = "Description";
    description.pfnDlgProc = PropertyPageProc;
    description.lParam = reinterpret_cast<LPARAM>(this);
    description.pfnCallback = PropertyPageCallback;
    // The common controls count the page in the live objects while it exists,
    // so the library is not unloaded under an open page.
    description.pcRefParent = reinterpret_cast<UINT*>(&g_liveObjects);
    return CreatePropertySheetPageA(&description);
}

// The same page made wide, so that its controls hold wide text.
HPROPSHEETPAGE CShellExtension::CreateWidePage() {
    const WideWindows* wide = Wide();
    if (!wide) return nullptr;
    PROPSHEETPAGEW description = {};
    description.dwSize = kWidePageDescriptionSize;
    description.dwFlags = PSP_USETITLE | PSP_USEREFPARENT | PSP_USECALLBACK;
    description.hInstance = g_moduleHandle;
    description.pszTemplate = MAKEINTRESOURCEW(IDD_PROPERTY_PAGE);
    description.pszTitle = L"Description";
    description.pfnDlgProc = PropertyPageProc;
    description.lParam = reinterpret_cast<LPARAM>(this);
    description.pfnCallback = PropertyPageCallbackW;
    description.pcRefParent = reinterpret_cast<UINT*>(&g_liveObjects);
    return wide->createPropertySheetPage(&description);
}

STDMETHODIMP CShellExtension::ReplacePage(UINT pageId, LPFNADDPROPSHEETPAGE replacePage, LPARAM replaceParam) {
    return E_FAIL;
}
