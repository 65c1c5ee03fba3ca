// What the benchmarks share: a microsecond clock, the median of timings, the plain
// read that every figure is set against, the sample file and the library's exports.
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

// The yardstick: one ReadFile of the whole file into a buffer made once, before
// any timing, and its lines counted. Only the open, the read, the close and the
// count are timed: no allocation, no zero-filling.
class PlainReader {
public:
    // Room for the file as it is now and some growth.
    explicit PlainReader(const std::string& path) : m_path(path) {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
        m_buffer.resize(data.nFileSizeLow + 65536);
    }
    // The number of lines (without count: 1); 0 when the file cannot be read or
    // no longer fits.
    size_t Read(bool count = true) {
        HANDLE file = CreateFileA(m_path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return 0;
        DWORD got = 0;
        BOOL read = ReadFile(file, &m_buffer[0], static_cast<DWORD>(m_buffer.size()), &got, nullptr);
        CloseHandle(file);
        if (!read || got == m_buffer.size()) return 0;
        if (!count) return 1;
        // Kept, so that the compiler cannot drop a count that nobody reads.
        m_lines = static_cast<size_t>(std::count(m_buffer.begin(), m_buffer.begin() + got, '\n'));
        return m_lines;
    }

private:
    std::string m_path;
    std::vector<char> m_buffer;
    volatile size_t m_lines = 0;
};

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
