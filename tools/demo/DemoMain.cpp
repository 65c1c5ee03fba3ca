// tolvane_demo desktop FOLDER [SHOTDIR]: the client of scripts/demo (see DemoSteps.h).
#include "DemoSteps.h"

#include <stdio.h>

namespace {

// A crash ends the process at once with a line, instead of waiting for a debugger.
LONG WINAPI EndOnCrash(EXCEPTION_POINTERS* exception) {
    printf("tolvane_demo: crashed (exception %08lx)\n", exception->ExceptionRecord->ExceptionCode);
    fflush(stdout);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

int main(int argc, char** argv) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(EndOnCrash);
    std::string step = argc > 1 ? argv[1] : "";
    if (step == "desktop" && (argc == 3 || argc == 4)) return demo::DesktopStep(argv[2], argc == 4 ? argv[3] : "");
    printf("usage: tolvane_demo desktop FOLDER [SHOTDIR]\n");
    return 2;
}
