// The description caches of the shell views of the calling thread: one per
// view, made at its first cell and freed when the view is destroyed. They hang
// off a thread-local slot, so each thread reaches only its own views' caches
// and no lock is taken; a view's window procedure always runs on its own thread.
#pragma once

#include <windows.h>

class CDescriptionCache;

// The cache of the view; null when none can be made (no memory, no TLS slot):
// the cell is then read as before, straight from the file.
CDescriptionCache* CacheOfView(HWND view);
// IsDetailsFileView of the view's list view; a yes is kept for the cache's
// freshness bound, since the four column queries of the test cost more than
// the lookup of a cell.
bool IsDetailsFileViewOf(HWND view, HWND listView);
// Frees the view's cache, if it has one. Called as the view is destroyed.
void ForgetView(HWND view);
