/* A DLL that imports a function kernel32 does not have. Its entry point must never run; if it
 * did, it would set LUMO_MISSING_LOG. */
#include <windows.h>

__declspec(dllimport) DWORD __stdcall LumoNoSuchFunction(void);

BOOL WINAPI MissingEntry(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reserved;
    SetEnvironmentVariableA("LUMO_MISSING_LOG", "ran");
    return reason == DLL_PROCESS_ATTACH ? LumoNoSuchFunction() != 0 : TRUE;
}
