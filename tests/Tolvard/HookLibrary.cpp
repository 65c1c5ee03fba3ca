// RegisteredHookLibrary (HookLibrary.h): hook_library.dll registered as Tolvane's server
// in the prefix, with the log of its events in a folder of its own.
#include "HookLibrary.h"

const char kServerKey[] = "CLSID\\{9C52E1B7-0A4F-11d3-B6E2-7F41C08D5A96}\\InProcServer32";

RegisteredHookLibrary::RegisteredHookLibrary(const std::string& path) {
    log_ = folder_.File("hook.log");
    SetEnvironmentVariableA("TOLVARD_HOOK_LOG", log_.c_str());
    testsupport::SetRegString(HKEY_CLASSES_ROOT, kServerKey, "",
                              path.empty() ? testsupport::BinFile("hook_library.dll") : path);
}

RegisteredHookLibrary::~RegisteredHookLibrary() {
    SetEnvironmentVariableA("TOLVARD_HOOK_LOG", nullptr);
    testsupport::DeleteRegTree(HKEY_CLASSES_ROOT, "CLSID\\{9C52E1B7-0A4F-11d3-B6E2-7F41C08D5A96}");
}

std::string RegisteredHookLibrary::Events() const { return testsupport::ReadFileBytes(log_); }

void RegisteredHookLibrary::ClearEvents() { DeleteFileA(log_.c_str()); }
