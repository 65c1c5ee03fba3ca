// Helpers of the shell extension tests: the class registered in the prefix's
// HKEY_CLASSES_ROOT, COM apartments, data objects made by Wine's own shell, and
// what a dialog template and a property sheet show. Modal windows are driven by
// testsupport::DriveModalWindow (DialogDriver.h).
#pragma once

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <functional>
#include <string>
#include <vector>

#include "DialogDriver.h"
#include "TestContract.h"
#include "WindowControls.h"

namespace shellext {

using testsupport::ClassName;
using testsupport::ClickButtonBySend;
using testsupport::ControlText;
using testsupport::DriveModalWindow;
using testsupport::TypeInto;
using testsupport::WindowText;

// A COM reference released when it goes.
template <class T>
class Ref {
public:
    Ref() = default;
    explicit Ref(T* pointer) : pointer_(pointer) {}
    ~Ref() { Reset(); }
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    void Reset() {
        if (pointer_) pointer_->Release();
        pointer_ = nullptr;
    }
    T* Get() const { return pointer_; }
    T* operator->() const { return pointer_; }
    T** Out() {
        Reset();
        return &pointer_;
    }
    void** OutVoid() { return reinterpret_cast<void**>(Out()); }
    explicit operator bool() const { return pointer_ != nullptr; }

private:
    T* pointer_ = nullptr;
};

// CoInitialize (single-threaded apartment) for the object's life.
class Apartment {
public:
    Apartment() { CoInitialize(nullptr); }
    ~Apartment() {
        CoFreeUnusedLibraries();
        CoUninitialize();
    }
};

// Registers Tolvane.dll of the build (Apartment threading) under
// HKEY_CLASSES_ROOT\CLSID\{...}\InProcServer32, and optionally as the
// context-menu and property-sheet handler of every file; removes all of it when
// it goes.
class RegisteredServer {
public:
    explicit RegisteredServer(bool asFileHandlers = false);
    ~RegisteredServer();
    bool Ok() const { return ok_; }

private:
    bool ok_ = false;
    bool handlers_ = false;
};

// A data object for files of one folder, made by Wine's shell through the
// folder's IShellFolder::GetUIObjectOf. Null when the shell cannot make one.
IDataObject* MakeFileDataObject(const std::vector<std::string>& paths);
// The same for files named in any script.
IDataObject* MakeFileDataObject(const std::vector<std::wstring>& paths);

// An extension object created through COM activation (CoCreateInstance).
HRESULT CreateExtension(REFIID iid, void** object);

// The exports of the loaded library.
HMODULE TolvaneModule();
template <class Function>
Function Export(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
HRESULT CallDllCanUnloadNow();

// A child control's rectangle in dialog units of its dialog (by MapDialogRect).
struct DialogRect { int left, top, width, height; };
bool ControlMatchesRect(HWND dialog, HWND control, const DialogRect& expected);

// The page callback of AddPages that collects the pages (LPARAM: a
// std::vector<HPROPSHEETPAGE>*).
BOOL CALLBACK CollectPage(HPROPSHEETPAGE page, LPARAM pages);
// Shows the one page that extension's AddPages adds, in a modal property sheet of the
// test's own titled title; drive gets the sheet and the page and must close the sheet.
// False, with a failure at the caller's line, when AddPages fails or adds other than
// one page, or the sheet is not closed.
bool ShowPageInSheet(testsupport::Caller caller, IShellPropSheetExt* extension, const char* title,
                     const std::function<void(HWND sheet, HWND page)>& drive);

// The titles of a property sheet's pages, from left to right.
std::vector<std::string> TabTitles(HWND sheet);

// The bytes of a folder's DESCRIPT.ION, or empty.
std::string DescriptionFile(const std::string& folder);

}  // namespace shellext
