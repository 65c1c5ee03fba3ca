// The shell's handler keys for Tolvane under HKEY_CLASSES_ROOT, which decide whether the
// shell offers the context-menu entry and the property page.
#pragma once

extern const char kContextMenuHandlers[];     // TOLVANE_MENU_HANDLERS of Contract.h
extern const char kPropertySheetHandlers[];   // TOLVANE_PAGE_HANDLERS of Contract.h

// Creates "<handlers>\Tolvane" with Tolvane's class identifier as its default value, in
// both registry views on 64-bit Windows.
void RegisterShellHandler(const char* handlersKey);
// Empties the default value of "<handlers>\Tolvane", then deletes the key (in both views).
void UnregisterShellHandler(const char* handlersKey);
