// Thin wrappers over the registry calls the settings store makes.
#ifndef BRONDELKIT_REGISTRY_H
#define BRONDELKIT_REGISTRY_H

#include <windows.h>

// Reads a value of any type into a field of cbField bytes. Stored data larger
// than the field is cut to it; the part of the field it does not fill is
// zeroed. The field is untouched when the value cannot be read.
bool RegReadField(HKEY hKey, const WCHAR* name, void* field, DWORD cbField);

// Writes a text field of cchField units as cchField * 2 bytes. Units after
// the terminator are written as zeros, so an earlier, longer text never
// reaches the registry.
LONG RegWriteTextField(HKEY hKey, const WCHAR* name, const WCHAR* field, DWORD cchField);

// The access the store asks for. The device takes none ("set to 0"); the
// desktop refuses every read or write through a key opened with 0.
#ifdef _WIN32_WCE
#define REG_ACCESS_READ     0
#define REG_ACCESS_WRITE    0
#else
#define REG_ACCESS_READ     KEY_QUERY_VALUE
#define REG_ACCESS_WRITE    KEY_SET_VALUE
#endif

LONG RegWriteDword(HKEY hKey, const WCHAR* name, DWORD value);

#endif
