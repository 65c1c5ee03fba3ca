// tolvane_demo STEP [ARGS...]: the client of scripts/demo (see DemoSteps.h).
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
    if (argc < 2) {
        printf("usage: tolvane_demo menu FILE... | column FOLDER LABEL... | tray FILE\n");
        return 2;
    }
    std::string step = argv[1];
    std::vector<std::string> args(argv + 2, argv + argc);
    if (step == "menu") return demo::ContextMenuStep(args);
    if (step == "column") return demo::ColumnStep(args);
    if (step == "column-window") return demo::ColumnWindow(args);
    if (step == "tray" && args.size() == 1) return demo::TrayStep(args[0]);
    printf("tolvane_demo: unknown step %s\n", step.c_str());
    return 2;
}
