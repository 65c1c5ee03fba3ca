// How tolvane_demo tells what it does (DemoSteps.h): a line on the output, flushed at
// once for the script, and a registry value as it prints one.
#include "DemoSteps.h"

#include <stdarg.h>
#include <stdio.h>

namespace demo {

void Say(const char* format, ...) {
    va_list args;
    va_start(args, format);
    vprintf(format, args);
    va_end(args);
    printf("\n");
    fflush(stdout);
}

std::string RegistryText(HKEY root, const char* keyName, const char* value) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, keyName, 0, KEY_READ, &key) != ERROR_SUCCESS) return "(no key)";
    BYTE data[1024] = {};
    DWORD size = sizeof data - 1;
    DWORD type = 0;
    LONG result = RegQueryValueExA(key, value, nullptr, &type, data, &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) return "(not set)";
    if (type == REG_DWORD && size == sizeof(DWORD)) {
        DWORD number = 0;
        memcpy(&number, data, sizeof number);
        return std::to_string(number);
    }
    return "\"" + std::string(reinterpret_cast<const char*>(data)) + "\"";
}

}  // namespace demo
