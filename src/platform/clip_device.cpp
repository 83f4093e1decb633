#include "platform/clip.h"

// Every window of the device clips its siblings and children already.
void ClipLikeDevice(HWND)
{
}
