// A plugin library that exports nothing: the host still records it and splices an empty line.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
