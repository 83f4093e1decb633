// Stand-in for the device's panel: remembers flags and rectangles so that
// what the program asked for can be read back with SipGetInfo.
#include "platform/sip.h"

static SIPINFO s_panel = {
    sizeof(SIPINFO), SIPF_OFF, {0, 0, 240, 294}, {0, 214, 240, 294}, 0, NULL,
};

extern "C" BOOL WINAPI SipGetInfo(SIPINFO* pSipInfo)
{
    if (!pSipInfo || pSipInfo->cbSize != sizeof(SIPINFO)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *pSipInfo = s_panel;
    return TRUE;
}

extern "C" BOOL WINAPI SipSetInfo(SIPINFO* pSipInfo)
{
    if (!pSipInfo || pSipInfo->cbSize != sizeof(SIPINFO)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    s_panel.fdwFlags = pSipInfo->fdwFlags;
    s_panel.rcSipRect = pSipInfo->rcSipRect;
    return TRUE;
}
