// CCmdTarget: the root of the message maps, and the dispatch of commands and messages
// through a class's map and its bases' maps.
#include "afxwin.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

namespace {
const AFX_MSGMAP_ENTRY g_cmdTargetEntries[] = {{0, 0, 0, 0, nullptr, nullptr}};
const AFX_MSGMAP g_cmdTargetMap = {nullptr, &g_cmdTargetEntries[0]};
}  // namespace

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() { return &g_cmdTargetMap; }
const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const AFX_MSGMAP_ENTRY* AfxFindMessageEntry(const AFX_MSGMAP* pMap, UINT nMessage, UINT nCode,
                                            UINT nID) {
    for (; pMap; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* pEntry = pMap->lpEntries; pEntry->pfn; ++pEntry) {
            if (nMessage == WM_COMMAND) {
                if (pEntry->nMessage == WM_COMMAND && pEntry->nCode == nCode &&
                    nID >= pEntry->nID && nID <= pEntry->nLastID)
                    return pEntry;
            } else if (pEntry->nMessage == AFX_WM_REGISTERED) {
                if (*pEntry->pnRegistered != 0 && *pEntry->pnRegistered == nMessage) return pEntry;
            } else if (pEntry->nMessage == nMessage) {
                return pEntry;
            }
        }
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, UINT nCode, void* pExtra, void* pHandlerInfo) {
    const AFX_MSGMAP_ENTRY* pEntry = AfxFindMessageEntry(GetMessageMap(), WM_COMMAND, nCode, nID);
    if (!pEntry) return FALSE;
    if (pHandlerInfo) return TRUE;   // only asked whether there is a handler
    pEntry->pfn(this, nID, 0, pExtra);
    return TRUE;
}

BOOL CCmdTarget::DispatchFromMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (message == WM_COMMAND) return FALSE;
    const AFX_MSGMAP_ENTRY* pEntry = AfxFindMessageEntry(GetMessageMap(), message, 0, 0);
    if (!pEntry) return FALSE;
    LRESULT result = pEntry->pfn(this, wParam, lParam, nullptr);
    if (pResult) *pResult = result;
    return TRUE;
}
