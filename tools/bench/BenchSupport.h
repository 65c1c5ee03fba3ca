// What the benchmarks share: a microsecond clock, the median of timings, the plain
// read that every figure is set against, and the library's hook entries.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace bench {

// Microseconds on the performance counter.
inline double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

inline double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The yardstick: the file read into a ready buffer and its lines counted.
inline size_t PlainRead(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD got = 0;
    if (!bytes.empty()) ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(file);
    return static_cast<size_t>(std::count(bytes.begin(), bytes.begin() + got, '\n'));
}

// Writes folder's DESCRIPT.ION with entries lines, file00000.txt upwards, and gives
// its path.
inline std::string WriteSampleDescriptions(const testsupport::TempFolder& folder, int entries) {
    std::string image;
    for (int i = 0; i < entries; ++i) {
        char line[128];
        wsprintfA(line, "file%05d.txt Description of file number %d, kept for the benchmark\r\n", i, i);
        image += line;
    }
    std::string path = folder.File("DESCRIPT.ION");
    testsupport::WriteFileBytes(path, image);
    return path;
}

// An export of the library, or null.
template <typename Function>
Function Export(HMODULE library, const char* name) {
    return library ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name))) : nullptr;
}

}  // namespace bench
