#include "common/text.h"

BOOL TextsEqual(const WCHAR* a, const WCHAR* b)
{
    for (int i = 0;; i++) {
        if (a[i] != b[i])
            return FALSE;
        if (a[i] == 0)
            return TRUE;
    }
}
