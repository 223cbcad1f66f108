/* Helper of package_test.sh, run under Wine next to the unpacked program:
 *   package_probe.exe CLASS TIMEOUT_MS
 * waits until a top-level window of class CLASS exists, then asks it to close
 * (WM_CLOSE). Exit code 0 when the window appeared, 1 when it did not. */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    DWORD timeout = (DWORD)strtoul(argv[2], NULL, 10);
    DWORD start = GetTickCount();
    HWND window;
    while (!(window = FindWindowA(argv[1], NULL))) {
        if (GetTickCount() - start > timeout) {
            printf("no %s window within %lu ms\n", argv[1], (unsigned long)timeout);
            return 1;
        }
        Sleep(20);
    }
    char title[64] = "";
    GetWindowTextA(window, title, sizeof title);
    printf("found %s window \"%s\" after %lu ms\n", argv[1], title,
           (unsigned long)(GetTickCount() - start));
    PostMessageA(window, WM_CLOSE, 0, 0);
    return 0;
}
