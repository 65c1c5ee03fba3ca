// Stands in for what a link opens: notes its own start in a file next to it
// (link-opened.txt, one line per start), so that a test can see the shell opened it.
#include <windows.h>

#include <string.h>

int main() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    char* slash = strrchr(path, '\\');
    if (!slash) return 1;
    strcpy(slash + 1, "link-opened.txt");
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(file, "opened\n", 7, &written, nullptr);
    CloseHandle(file);
    return 0;
}
