// The soft input panel calls of the device. Desktop Windows has no panel;
// there sip_desktop.cpp stands in for them and only keeps the state asked for.
#ifndef BRONDELKIT_SIP_H
#define BRONDELKIT_SIP_H

#include <windows.h>

#include "common/fallbacks.h"

#ifdef _WIN32_WCE
#include <sipapi.h>
#else
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

extern "C" BOOL WINAPI SipGetInfo(SIPINFO* pSipInfo);
extern "C" BOOL WINAPI SipSetInfo(SIPINFO* pSipInfo);
#endif

// SIPINFO must have the device's 32-bit size.
SIZE_ON_32BIT(sizeof(SIPINFO), 48);

// The two panel steps both dialogs take; results are ignored by design.
void HideSoftInputPanel();
void ShowSoftInputPanel(LONG left, LONG top);

#endif
