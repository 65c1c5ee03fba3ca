// store_bench: times the description store under real files. For description
// files of 10, 1,000, 10,000 and 100,000 entries it measures Load + Lookup of
// the last entry, and one GetDescription of it through Tolvane.dll, next to one
// plain read of the same file (one ReadFile into a buffer made beforehand,
// counting its lines). Run by scripts/bench.
#include "TestSupport.h"
#include "store/DescriptionFile.h"
#include "BenchSupport.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

typedef int(__cdecl* GetFunction)(char*, const char*);

// Times the three kinds of work in turns (so that a busy machine slows all of
// them alike), for about a second, and gives the median time of each in
// microseconds.
template <typename A, typename B, typename C>
void TimeInTurns(A a, B b, C c, double* ta, double* tb, double* tc) {
    std::vector<double> times[3];
    double start = bench::Now();
    while (times[0].size() < 15 || (bench::Now() - start < 1000000 && times[0].size() < 20000)) {
        double t0 = bench::Now();
        a();
        double t1 = bench::Now();
        b();
        double t2 = bench::Now();
        c();
        double t3 = bench::Now();
        times[0].push_back(t1 - t0);
        times[1].push_back(t2 - t1);
        times[2].push_back(t3 - t2);
    }
    *ta = bench::Median(times[0]);
    *tb = bench::Median(times[1]);
    *tc = bench::Median(times[2]);
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
    printf("%8s %9s %12s %14s %7s %16s %7s\n", "entries", "bytes", "plain read", "Load+Lookup", "ratio",
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
        double plain = 0, lookup = 0, call = 0;
        TimeInTurns([&] { plainReader.Read(); },
                    [&] {
                        CDescriptionFile file;
                        file.Load(last.c_str());
                        file.Lookup(last.c_str());
                        file.Close();
                    },
                    [&] { get(description, last.c_str()); }, &plain, &lookup, &call);
        const unsigned bytes = static_cast<unsigned>(testsupport::ReadFileBytes(ion).size());
        printf("%8d %9u %9.1f us %11.1f us %6.2fx %13.1f us %6.2fx\n", count, bytes, plain, lookup, lookup / plain,
               call, call / plain);
    }
    FreeLibrary(library);
    return 0;
}
