#include "platform/sip.h"

static void SetPanel(DWORD flags, const POINT* topLeft)
{
    SIPINFO si;
    ZeroMemory(&si, sizeof(si));
    si.cbSize = sizeof(si);
    SipGetInfo(&si);
    si.fdwFlags = flags;
    if (topLeft) {
        // Only the corner moves; right and bottom stay as reported.
        si.rcSipRect.left = topLeft->x;
        si.rcSipRect.top = topLeft->y;
    }
    SipSetInfo(&si);
}

void HideSoftInputPanel()
{
    SetPanel(SIPF_OFF, NULL);
}

void ShowSoftInputPanel(LONG left, LONG top)
{
    POINT pt = {left, top};
    SetPanel(SIPF_ON, &pt);
}
