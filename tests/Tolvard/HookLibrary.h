// The hook_library.dll stand-in for Tolvane, registered as the shell extension's server
// in the test prefix's HKEY_CLASSES_ROOT, with a log of its events.
#pragma once

#include "TestSupport.h"

#include <string>

extern const char kServerKey[];  // CLSID\{...}\InProcServer32 under HKEY_CLASSES_ROOT

class RegisteredHookLibrary {
public:
    // Registers path (hook_library.dll by default) and starts an empty event log.
    explicit RegisteredHookLibrary(const std::string& path = std::string());
    ~RegisteredHookLibrary();
    // The logged events so far, one per line.
    std::string Events() const;
    void ClearEvents();

private:
    testsupport::TempFolder folder_;
    std::string log_;
};
