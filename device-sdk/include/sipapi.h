/* Model of the device's sipapi.h: the soft input panel, in coredll. */
#ifndef DEVICE_SDK_SIPAPI_H
#define DEVICE_SDK_SIPAPI_H

#include <windows.h>

#define SIPF_OFF    0x00000000
#define SIPF_ON     0x00000001
#define SIPF_DOCKED 0x00000002
#define SIPF_LOCKED 0x00000004

typedef struct tagSIPINFO {
    DWORD cbSize;
    DWORD fdwFlags;
    RECT rcVisibleDesktop;
    RECT rcSipRect;
    DWORD dwImDataSize;
    void* pvImData;
} SIPINFO;

extern "C" {
BOOL WINAPI SipGetInfo(SIPINFO* pSipInfo);
BOOL WINAPI SipSetInfo(SIPINFO* pSipInfo);
}

#endif
