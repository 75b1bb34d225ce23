/* A DLL whose entry point refuses to attach. Every call of the entry point is appended to the
 * environment variable LUMO_ENTRY_LOG: 'A' attach, 'D' detach, 'H' when the module handle
 * passed in was not null. */
#include <windows.h>

BOOL WINAPI FailingEntry(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    char log[32];
    DWORD length = GetEnvironmentVariableA("LUMO_ENTRY_LOG", log, sizeof log);
    (void)reserved;
    if (length >= sizeof log - 3) {
        length = 0;
    }
    if (instance != NULL) {
        log[length++] = 'H';
    }
    log[length++] = reason == DLL_PROCESS_ATTACH ? 'A' : reason == DLL_PROCESS_DETACH ? 'D' : '?';
    log[length] = '\0';
    SetEnvironmentVariableA("LUMO_ENTRY_LOG", log);
    return reason != DLL_PROCESS_ATTACH;
}
