// The module instance handle, which loads the program's resources.
#ifndef BRONDELKIT_MODULE_H
#define BRONDELKIT_MODULE_H

#include <windows.h>

// Set once by InitInstance, before the resident window exists.
extern HINSTANCE g_hInstance;

#endif
