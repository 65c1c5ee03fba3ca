/* wait-window CLASS SECONDS: waits until a top-level window of the class CLASS exists
   on the current desktop; exit code 0 when it came, 1 when the time ran out. Scripts
   wait with it for a Wine desktop's taskbar ("Shell_TrayWnd") instead of sleeping. */
#include <windows.h>
#include <stdlib.h>

int main(int argc, char** argv) {
    int left;
    if (argc != 3) return 2;
    for (left = atoi(argv[2]) * 10; left > 0; --left) {
        if (FindWindowA(argv[1], NULL)) return 0;
        Sleep(100);
    }
    return 1;
}
