// Texts are zero-terminated UTF-16 buffers, compared unit by unit.
#ifndef BRONDELKIT_TEXT_H
#define BRONDELKIT_TEXT_H

#include <windows.h>

BOOL TextsEqual(const WCHAR* a, const WCHAR* b);

#endif
