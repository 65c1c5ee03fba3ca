// describe get|set|del PATH [TEXT] [COUNT]: calls the exported description
// functions of Tolvane.dll (loaded from the build's dist folder, or from the
// path in TOLVANE_DLL) and prints what GetDescription returns. With COUNT, set and get
// repeat that many times (used by the concurrency test).
// describe add FOLDER PREFIX COUNT: describes the files PREFIX0.txt to
// PREFIX<COUNT-1>.txt of FOLDER as "PREFIX 0" and so on, one call each (several
// such writers at once show whether any change is lost). Exit code 0 on
// success, 2 on bad arguments, 3 when the library or its exports are missing.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "TestSupport.h"

typedef int(__cdecl* GetFunction)(char*, const char*);
typedef int(__cdecl* SetFunction)(const char*, const char*);
typedef int(__cdecl* DelFunction)(const char*);

static std::string LibraryPath() {
    char folder[MAX_PATH] = {};
    if (GetEnvironmentVariableA("TOLVANE_DLL", folder, MAX_PATH) > 0) return folder;
    return testsupport::DistFile("Tolvane.dll");
}

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: describe get|set|del PATH [TEXT] [COUNT] | add FOLDER PREFIX COUNT\n");
        return 2;
    }
    std::string library = LibraryPath();
    HMODULE module = LoadLibraryA(library.c_str());
    if (!module) {
        fprintf(stderr, "describe: cannot load %s\n", library.c_str());
        return 3;
    }
    GetFunction get = reinterpret_cast<GetFunction>(reinterpret_cast<void*>(GetProcAddress(module, "GetDescription")));
    SetFunction set = reinterpret_cast<SetFunction>(reinterpret_cast<void*>(GetProcAddress(module, "SetDescription")));
    DelFunction del = reinterpret_cast<DelFunction>(reinterpret_cast<void*>(GetProcAddress(module, "DelDescription")));
    if (!get || !set || !del) return 3;

    std::string verb = argv[1];
    const char* path = argv[2];
    char description[2048] = {};
    if (verb == "get") {
        int count = argc > 3 ? atoi(argv[3]) : 1;
        for (int i = 0; i < count; ++i) get(description, path);
        printf("%s\n", description);
    } else if (verb == "set" && argc > 3) {
        int count = argc > 4 ? atoi(argv[4]) : 1;
        for (int i = 0; i < count; ++i) {
            std::string text = argv[3];
            if (count > 1) text += " " + std::to_string(i);
            set(text.c_str(), path);
        }
        get(description, path);
        printf("%s\n", description);
    } else if (verb == "add" && argc > 4) {
        int count = atoi(argv[4]);
        for (int i = 0; i < count; ++i) {
            std::string name = std::string(path) + "\\" + argv[3] + std::to_string(i) + ".txt";
            set((std::string(argv[3]) + " " + std::to_string(i)).c_str(), name.c_str());
        }
    } else if (verb == "del") {
        del(path);
    } else {
        fprintf(stderr, "describe: unknown command %s\n", verb.c_str());
        return 2;
    }
    FreeLibrary(module);
    return 0;
}
