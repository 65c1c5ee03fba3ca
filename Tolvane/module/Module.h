// Server-wide state of Tolvane.dll: the module handle and the count of live
// COM objects (class factories and extension objects).
#pragma once

#include <windows.h>

// Stored when the library is attached to a process; the dialogs, the property
// page and the column hook load their resources and hooks through it.
extern HINSTANCE g_moduleHandle;

// Class factories and extension objects that exist. Explorer's threads create
// and release objects concurrently, so the count changes only through
// interlocked operations; the property sheet's page reference (pcRefParent)
// points at it as well.
extern LONG g_liveObjects;

inline void ObjectCreated() { InterlockedIncrement(&g_liveObjects); }
inline void ObjectDestroyed() { InterlockedDecrement(&g_liveObjects); }
