// store_bench: times the description store under real files. For description
// files of 10, 1,000 and 10,000 entries it measures Load + Lookup of the last
// entry, and one GetDescription through Tolvane.dll, next to merely reading
// the same file into memory and counting its lines. Run by scripts/bench.
#include "TestSupport.h"
#include "store/DescriptionFile.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

typedef int(__cdecl* GetFunction)(char*, const char*);

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double>* times) {
    std::sort(times->begin(), times->end());
    return (*times)[times->size() / 2];
}

// Times the three kinds of work in turns (so that a busy machine slows all of
// them alike), for about a second, and gives the median time of each in
// microseconds.
template <typename A, typename B, typename C>
void TimeInTurns(A a, B b, C c, double* ta, double* tb, double* tc) {
    std::vector<double> times[3];
    double start = Now();
    while (times[0].size() < 15 || (Now() - start < 1000000 && times[0].size() < 20000)) {
        double t0 = Now();
        a();
        double t1 = Now();
        b();
        double t2 = Now();
        c();
        double t3 = Now();
        times[0].push_back(t1 - t0);
        times[1].push_back(t2 - t1);
        times[2].push_back(t3 - t2);
    }
    *ta = Median(&times[0]);
    *tb = Median(&times[1]);
    *tc = Median(&times[2]);
}

size_t PlainRead(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD got = 0;
    if (!bytes.empty()) ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(file);
    return static_cast<size_t>(std::count(bytes.begin(), bytes.begin() + got, '\n'));
}

}  // namespace

int main() {
    HMODULE library = LoadLibraryA(testsupport::DistFile("Tolvane.dll").c_str());
    GetFunction get = library ? reinterpret_cast<GetFunction>(
                                    reinterpret_cast<void*>(GetProcAddress(library, "GetDescription")))
                              : nullptr;
    if (!get) {
        fprintf(stderr, "store_bench: cannot load Tolvane.dll\n");
        return 1;
    }
    testsupport::CleanSettings settings;
    printf("%8s %9s %12s %14s %7s %16s %7s\n", "entries", "bytes", "plain read", "Load+Lookup", "ratio",
           "GetDescription", "ratio");
    for (int count : {10, 1000, 10000}) {
        testsupport::TempFolder folder;
        std::string image;
        for (int i = 0; i < count; ++i) {
            char line[128];
            wsprintfA(line, "file%05d.txt Description of file number %d, kept for the benchmark\r\n", i, i);
            image += line;
        }
        std::string ion = folder.File("DESCRIPT.ION");
        testsupport::WriteFileBytes(ion, image);
        char lastName[32];
        wsprintfA(lastName, "FILE%05d.TXT", count - 1);
        std::string last = folder.File(lastName);

        char description[2048] = {};
        get(description, last.c_str());
        if (PlainRead(ion) != static_cast<size_t>(count) || std::string(description).find("Description") != 0) {
            fprintf(stderr, "store_bench: the %d-entry file does not read back\n", count);
            return 1;
        }
        double plain = 0, lookup = 0, call = 0;
        TimeInTurns([&] { PlainRead(ion); },
                    [&] {
                        CDescriptionFile file;
                        file.Load(last.c_str());
                        file.Lookup(last.c_str());
                        file.Close();
                    },
                    [&] { get(description, last.c_str()); }, &plain, &lookup, &call);
        printf("%8d %9u %9.1f us %11.1f us %6.2fx %13.1f us %6.2fx\n", count, static_cast<unsigned>(image.size()),
               plain, lookup, lookup / plain, call, call / plain);
    }
    FreeLibrary(library);
    return 0;
}
