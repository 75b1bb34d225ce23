/* A DLL for the module loader's Windows test. It is built for a preferred base that the test
 * keeps occupied, so its absolute addresses only come out right when relocation works. Its
 * entry point calls imports by name (kernel32) and by ordinal (ws2_32 ordinal 8, htonl). */
#include <windows.h>

__declspec(dllimport) unsigned long __stdcall lumo_htonl_by_ordinal(unsigned long value);

static int answer_value = 42;
static const char greeting[] = "lumo";

/* Absolute addresses stored in data: each needs a base relocation. */
__declspec(dllexport) int* volatile answer_pointer = &answer_value;
const char* volatile greeting_pointer = greeting;

static DWORD attached_process;
static unsigned long swapped;
static int attach_count;
static HINSTANCE attach_handle = (HINSTANCE)1;

BOOL WINAPI SampleEntry(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        ++attach_count;
        attach_handle = instance;
        attached_process = GetCurrentProcessId();
        swapped = lumo_htonl_by_ordinal(0x01020304);
    }
    return TRUE;
}

__declspec(dllexport) int lumo_answer(void) {
    return *answer_pointer;
}
__declspec(dllexport) int* lumo_answer_address(void) {
    return &answer_value;
}
__declspec(dllexport) const char* lumo_greeting(void) {
    return greeting_pointer;
}
__declspec(dllexport) DWORD lumo_attached_process(void) {
    return attached_process;
}
__declspec(dllexport) unsigned long lumo_swapped(void) {
    return swapped;
}
__declspec(dllexport) int lumo_attach_count(void) {
    return attach_count;
}
__declspec(dllexport) HINSTANCE lumo_attach_handle(void) {
    return attach_handle;
}
