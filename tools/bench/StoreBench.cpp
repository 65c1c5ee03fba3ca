// store_bench: times the description store under real files. For description
// files of 10, 1,000, 10,000 and 100,000 entries it measures Load + Lookup of
// the last entry, and one GetDescription of it through Tolvane.dll, next to one
// plain read of the same file (one ReadFile into a buffer made beforehand,
// counting its lines; the read alone, without the count, beside it). Run by
// scripts/bench.
#include "TestSupport.h"
#include "store/DescriptionFile.h"
#include "BenchSupport.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

typedef int(__cdecl* GetFunction)(char*, const char*);

// Times the kinds of work in turns (so that a busy machine slows all of them
// alike), for about a second, and gives the median time of each in
// microseconds.
std::vector<double> TimeInTurns(const std::vector<std::function<void()>>& works) {
    std::vector<std::vector<double>> times(works.size());
    double start = bench::Now();
    while (times[0].size() < 15 || (bench::Now() - start < 1000000 && times[0].size() < 20000)) {
        for (size_t i = 0; i < works.size(); ++i) {
            double t0 = bench::Now();
            works[i]();
            times[i].push_back(bench::Now() - t0);
        }
    }
    std::vector<double> medians;
    for (const std::vector<double>& some : times) medians.push_back(bench::Median(some));
    return medians;
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
    printf("%d-bit build, medians in microseconds\n", static_cast<int>(sizeof(void*) * 8));
    printf("%8s %9s %12s %12s %14s %7s %16s %7s\n", "entries", "bytes", "plain read", "read alone", "Load+Lookup", "ratio",
           "GetDescription", "ratio");
    for (int count : {10, 1000, 10000, 100000}) {
        testsupport::TempFolder folder;
        std::string ion = bench::WriteSampleDescriptions(folder, count);
        char lastName[32];
        wsprintfA(lastName, "FILE%05d.TXT", count - 1);
        std::string last = folder.File(lastName);

        char description[2048] = {};
        get(description, last.c_str());
        bench::PlainReader plainReader(ion);
        if (plainReader.Read() != static_cast<size_t>(count) || std::string(description).find("Description") != 0) {
            fprintf(stderr, "store_bench: the %d-entry file does not read back\n", count);
            return 1;
        }
        std::vector<double> t = TimeInTurns({[&] { plainReader.Read(); },
                                             [&] { plainReader.Read(false); },
                                             [&] {
                                                 CDescriptionFile file;
                                                 file.Load(last.c_str());
                                                 file.Lookup(last.c_str());
                                                 file.Close();
                                             },
                                             [&] { get(description, last.c_str()); }});
        const unsigned bytes = static_cast<unsigned>(testsupport::ReadFileBytes(ion).size());
        printf("%8d %9u %9.1f us %9.1f us %11.1f us %6.2fx %13.1f us %6.2fx\n", count, bytes, t[0], t[1], t[2],
               t[2] / t[0], t[3], t[3] / t[0]);
    }
    FreeLibrary(library);
    return 0;
}
