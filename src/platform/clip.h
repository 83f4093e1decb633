// On the device every window clips its siblings and children; desktop
// windows do so only when asked, and a picture under other controls would
// then paint over them.
#ifndef BRONDELKIT_CLIP_H
#define BRONDELKIT_CLIP_H

#include <windows.h>

// Gives the dialog and its controls the device's clipping.
void ClipLikeDevice(HWND hDlg);

#endif
