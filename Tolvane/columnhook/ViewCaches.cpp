// The per-thread list of the shell views' description caches (ViewCaches.h): made at a
// view's first cell, found by the view, dropped when the view is destroyed.
#include "ViewCaches.h"

#include <stdlib.h>

#include <new>

#include "ColumnHook.h"
#include "DescriptionCache.h"

namespace {

struct ViewCache {
    HWND view;
    CDescriptionCache cache;
    ViewCache* next;
    HWND testedList;  // the list view last found a details file view, or null
    DWORD testTick;   // when it was found so
};

// The thread-local slot that holds each thread's list, taken at the first cell
// in a process, so that processes that never show the column spend none of
// their few slots on it. Never given back: a process that once subclassed a
// view keeps the library to its end.
volatile DWORD g_slot = TLS_OUT_OF_INDEXES;
volatile LONG g_slotClaimed = 0;
volatile LONG g_slotMade = 0;

bool HaveSlot() {
    if (g_slotMade) return g_slot != TLS_OUT_OF_INDEXES;
    // Made once per process: the first thread to swap in the 1 makes it, any
    // other waits the moment that takes. InterlockedExchange is the interlocked
    // call whose result Windows 95 reports in full (Increment gives only a sign).
    if (InterlockedExchange(const_cast<LONG*>(&g_slotClaimed), 1) == 0) {
        g_slot = TlsAlloc();
        InterlockedExchange(const_cast<LONG*>(&g_slotMade), 1);
    } else {
        while (!g_slotMade) Sleep(0);
    }
    return g_slot != TLS_OUT_OF_INDEXES;
}

ViewCache* FirstOfThread() {
    return static_cast<ViewCache*>(TlsGetValue(g_slot));
}

void Free(ViewCache* node) {
    node->~ViewCache();
    free(node);
}

// Unlinks and frees the caches of the views that match; gone: also every view
// that no longer exists (its destruction did not reach us, for instance under a
// subclass that swallowed it), so that the list holds live views only.
void Drop(HWND view, bool gone) {
    ViewCache* first = FirstOfThread();
    ViewCache** link = &first;
    while (*link) {
        ViewCache* node = *link;
        if (node->view == view || (gone && !IsWindow(node->view))) {
            *link = node->next;
            Free(node);
        } else {
            link = &node->next;
        }
    }
    TlsSetValue(g_slot, first);
}

// The view's node, made at its first use; null when none can be made.
ViewCache* NodeOfView(HWND view) {
    if (!HaveSlot()) return nullptr;
    for (ViewCache* node = FirstOfThread(); node; node = node->next)
        if (node->view == view) return node;

    Drop(nullptr, true);
    void* memory = malloc(sizeof(ViewCache));
    if (!memory) return nullptr;
    ViewCache* node = new (memory) ViewCache{view, {}, FirstOfThread(), nullptr, 0};
    TlsSetValue(g_slot, node);
    return node;
}

}  // namespace

CDescriptionCache* CacheOfView(HWND view) {
    ViewCache* node = NodeOfView(view);
    return node ? &node->cache : nullptr;
}

bool IsDetailsFileViewOf(HWND view, HWND listView) {
    ViewCache* node = NodeOfView(view);
    if (!node) return IsDetailsFileView(listView);
    // Only a yes is kept: a list view that gets its columns (and the description
    // column) a moment after a no must be answered at once.
    DWORD now = GetTickCount();
    if (node->testedList == listView && now - node->testTick < CDescriptionCache::kFreshForMs) return true;
    if (!IsDetailsFileView(listView)) return false;
    node->testedList = listView;
    node->testTick = now;
    return true;
}

void ForgetView(HWND view) {
    if (!g_slotMade || g_slot == TLS_OUT_OF_INDEXES || !FirstOfThread()) return;
    Drop(view, false);
}
