/* A model of the device's windows.h (Windows CE 4.10, 32-bit), written from
 * Microsoft's public Windows CE reference pages (CE 4.x/5.0). It declares only
 * what Brondelkit uses, in the device's form, so that a desktop-only name,
 * type or prototype fails to compile here. Where the reference is silent, a
 * comment says so and the stricter form is taken. Use with
 * _WIN32_WCE=410 UNDER_CE=410 (decimal, the SDK's CE version) UNICODE _UNICODE
 * and no other headers: it includes none. */
#ifndef DEVICE_SDK_WINDOWS_H
#define DEVICE_SDK_WINDOWS_H

#if !defined(_WIN32_WCE) || !defined(UNDER_CE) || !defined(UNICODE) || !defined(_UNICODE)
#error "the device's headers take _WIN32_WCE, UNDER_CE, UNICODE and _UNICODE"
#endif

/* ---- Calling convention: every call of the device is __cdecl; its headers
 * make even an explicit __stdcall one, so a pointer's convention never
 * refuses a function there that it would refuse on the desktop. ---- */
#define __stdcall   __cdecl
#define WINAPI      __cdecl
#define CALLBACK    __cdecl
#define APIENTRY    WINAPI
#define WINAPIV     __cdecl
#define CONST       const
#define VOID        void
#define FALSE       0
#define TRUE        1
#ifndef NULL
#define NULL        0
#endif

typedef int                 BOOL;
typedef unsigned char       BYTE;
typedef unsigned short      WORD;
typedef unsigned long       DWORD;
typedef unsigned int        UINT;
typedef int                 INT;
typedef long                LONG;
typedef unsigned long       ULONG;
typedef short               SHORT;
typedef unsigned short      USHORT;
typedef char                CHAR;
typedef CHAR*               PCHAR;
/* The device's compiler has no wchar_t of its own: its C run-time headers
 * make it unsigned short, so WCHAR and unsigned short are one type, and an
 * overload on both is one function defined twice. */
#ifndef _WCHAR_T_DEFINED
#define _WCHAR_T_DEFINED
typedef unsigned short      wchar_t;
#endif
typedef wchar_t             WCHAR;
typedef WCHAR               TCHAR;
/* It knows no long long (C2632): 64-bit integers are __int64. */
typedef unsigned __int64    ULONGLONG;
typedef __int64             LONGLONG;
/* Pointer-sized integers of the 32-bit device. */
typedef int                 INT_PTR;
typedef unsigned int        UINT_PTR;
typedef long                LONG_PTR;
typedef unsigned long       ULONG_PTR;
/* A size is a ULONG_PTR there, not a UINT: the two are distinct types. */
typedef ULONG_PTR           SIZE_T;
/* The C run-time's size type, as the compiler has it. */
typedef __SIZE_TYPE__       size_t;

typedef void*               LPVOID;
typedef const void*         LPCVOID;
typedef BYTE*               LPBYTE;
typedef const BYTE*         LPCBYTE;
typedef DWORD*              LPDWORD;
typedef DWORD*              PDWORD;
typedef ULONG*              PULONG;
typedef LONG*               PLONG;
typedef CHAR*               LPSTR;
typedef const CHAR*         LPCSTR;
typedef WCHAR*              LPWSTR;
typedef const WCHAR*        LPCWSTR;
typedef LPWSTR              LPTSTR;
typedef LPCWSTR             LPCTSTR;

typedef UINT                WPARAM;
typedef LONG                LPARAM;
typedef LONG                LRESULT;
typedef WORD                ATOM;
typedef DWORD               COLORREF;
typedef LONG                HRESULT;

#define DECLARE_HANDLE(name) struct name##__ { int unused; }; typedef struct name##__* name
typedef void*               HANDLE;
DECLARE_HANDLE(HWND);
DECLARE_HANDLE(HINSTANCE);
DECLARE_HANDLE(HICON);
DECLARE_HANDLE(HBRUSH);
DECLARE_HANDLE(HDC);
DECLARE_HANDLE(HBITMAP);
DECLARE_HANDLE(HMENU);
DECLARE_HANDLE(HKEY);
DECLARE_HANDLE(HRSRC);
typedef HINSTANCE           HMODULE;
typedef HICON               HCURSOR;
typedef void*               HGDIOBJ;
typedef void*               HGLOBAL;
typedef void*               HLOCAL;

#define MAKEWORD(a, b)  ((WORD)(((BYTE)(a)) | ((WORD)((BYTE)(b))) << 8))
#define LOWORD(l)       ((WORD)(l))
#define HIWORD(l)       ((WORD)(((DWORD)(l) >> 16) & 0xFFFF))
#define RGB(r, g, b)    ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#define MAKEINTRESOURCEW(i) ((LPWSTR)((ULONG_PTR)((WORD)(i))))
#define MAKEINTRESOURCE     MAKEINTRESOURCEW

typedef struct tagRECT { LONG left; LONG top; LONG right; LONG bottom; } RECT, *LPRECT;
typedef const RECT* LPCRECT;
typedef struct tagPOINT { LONG x; LONG y; } POINT;

typedef struct _SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

/* ---- Errors and registry ---- */
#define ERROR_SUCCESS               0L
#define ERROR_INVALID_PARAMETER     87L
#define ERROR_BUFFER_OVERFLOW       111L
#define ERROR_MORE_DATA             234L
#define ERROR_ALREADY_EXISTS        183L
#define ERROR_TIMEOUT               1460L

#define HKEY_LOCAL_MACHINE  ((HKEY)(ULONG_PTR)0x80000002)
#define REG_SZ              1
#define REG_DWORD           4
typedef DWORD REGSAM;
/* The device takes no access mask ("Not supported; set to 0"); the desktop
 * masks are left out so that none is passed by mistake. */

/* ---- Memory ---- */
#define LMEM_FIXED      0x0000
#define LMEM_ZEROINIT   0x0040
#define LPTR            (LMEM_FIXED | LMEM_ZEROINIT)
/* The C run-time of the device lives in coredll as well. */
extern "C" void* __cdecl memset(void* dest, int c, size_t count);
#define ZeroMemory(dest, len)   memset((dest), 0, (len))

/* ---- Processes ---- */
typedef struct _STARTUPINFOW {
    DWORD cb;
    LPWSTR lpReserved;
    LPWSTR lpDesktop;
    LPWSTR lpTitle;
    DWORD dwX;
    DWORD dwY;
    DWORD dwXSize;
    DWORD dwYSize;
    DWORD dwXCountChars;
    DWORD dwYCountChars;
    DWORD dwFillAttribute;
    DWORD dwFlags;
    WORD wShowWindow;
    WORD cbReserved2;
    LPBYTE lpReserved2;
    HANDLE hStdInput;
    HANDLE hStdOutput;
    HANDLE hStdError;
} STARTUPINFOW, *LPSTARTUPINFOW;
/* The reference documents the record only as "Not supported; set to NULL"
 * and names none of its flags: STARTF_USESHOWWINDOW is left out. */

typedef struct _PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;
    DWORD dwProcessId;
    DWORD dwThreadId;
} PROCESS_INFORMATION, *LPPROCESS_INFORMATION;

/* ---- Threads, events, waits ---- */
typedef DWORD (WINAPI* LPTHREAD_START_ROUTINE)(LPVOID lpParameter);
#define MAX_PATH            260
#define INFINITE            0xFFFFFFFF
#define WAIT_OBJECT_0       0x00000000L
#define WAIT_TIMEOUT        258L
#define WAIT_FAILED         0xFFFFFFFF

/* ---- Resources ---- */
#define RT_DIALOG       MAKEINTRESOURCE(5)

#pragma pack(push, 2)
typedef struct {
    DWORD style;
    DWORD dwExtendedStyle;
    WORD cdit;
    short x;
    short y;
    short cx;
    short cy;
} DLGTEMPLATE;
#pragma pack(pop)
typedef const DLGTEMPLATE* LPCDLGTEMPLATE;

/* ---- Windows, messages, dialogs ---- */
typedef LRESULT (CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);
/* A dialog procedure returns BOOL on the device; INT_PTR is the same int. */
typedef BOOL (CALLBACK* DLGPROC)(HWND, UINT, WPARAM, LPARAM);
typedef void (CALLBACK* TIMERPROC)(HWND, UINT, UINT, DWORD);

typedef struct _WNDCLASSW {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCWSTR lpszMenuName;
    LPCWSTR lpszClassName;
} WNDCLASSW;
typedef WNDCLASSW WNDCLASS;

typedef struct tagMSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
} MSG, *LPMSG;

typedef struct tagDRAWITEMSTRUCT {
    UINT CtlType;
    UINT CtlID;
    UINT itemID;
    UINT itemAction;
    UINT itemState;
    HWND hwndItem;
    HDC hDC;
    RECT rcItem;
    DWORD itemData;
} DRAWITEMSTRUCT;

#define CS_VREDRAW          0x0001
#define CS_HREDRAW          0x0002

#define WS_POPUP            0x80000000L
#define WS_CHILD            0x40000000L
#define WS_VISIBLE          0x10000000L
#define WS_CLIPSIBLINGS     0x04000000L
#define WS_CLIPCHILDREN     0x02000000L
/* Only for a WINVER of 4.0 or later, and no public page gives CE 4.10's
 * default: the model defines none. */
#if defined(WINVER) && (WINVER >= 0x0400)
#define WS_EX_TOOLWINDOW    0x00000080L
#endif

#define SW_HIDE             0
#define SW_SHOWNORMAL       1
#define SW_SHOW             5

#define SWP_NOSIZE          0x0001
#define SWP_SHOWWINDOW      0x0040
#define HWND_TOPMOST        ((HWND)-1)

#define PM_NOREMOVE         0x0000
#define PM_REMOVE           0x0001

#define GW_HWNDNEXT         2
#define GW_HWNDPREV         3
#define GW_OWNER            4

#define SM_CXSCREEN         0
#define SM_CYSCREEN         1

#define WM_CREATE           0x0001
#define WM_DESTROY          0x0002
#define WM_DRAWITEM         0x002B
#define WM_INITDIALOG       0x0110
#define WM_COMMAND          0x0111
#define WM_TIMER            0x0113
#define WM_CTLCOLORDLG      0x0136
#define WM_CTLCOLORSTATIC   0x0138
#define WM_LBUTTONDOWN      0x0201
/* WM_POWERBROADCAST and its PBT_ events are listed as unsupported in the
 * reference: left out, the program carries its own values. */

#define IDOK                1
#define IDCANCEL            2
#define MB_OK               0x00000000L

#define BM_GETCHECK         0x00F0
#define BM_SETCHECK         0x00F1
#define EM_LIMITTEXT        0x00C5
#define EM_SETREADONLY      0x00CF
#define STM_SETIMAGE        0x0172
#define ODS_SELECTED        0x0001
#define ODS_DISABLED        0x0004

#define IMAGE_BITMAP        0
#define IMAGE_ICON          1

/* ---- GDI ---- */
#define WHITE_BRUSH         0
#define LTGRAY_BRUSH        1
#define OPAQUE              2
#define SRCCOPY             0x00CC0020L

extern "C" {

/* The start-up code calls the program's entry with a wide command line. */
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nShowCmd);

/* Window manager */
ATOM WINAPI RegisterClassW(const WNDCLASSW* lpWndClass);
HWND WINAPI CreateWindowExW(DWORD dwExStyle, LPCWSTR lpClassName, LPCWSTR lpWindowName,
                            DWORD dwStyle, int x, int y, int nWidth, int nHeight,
                            HWND hWndParent, HMENU hMenu, HINSTANCE hInstance, LPVOID lpParam);
LRESULT WINAPI DefWindowProcW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
BOOL WINAPI DestroyWindow(HWND hWnd);
HWND WINAPI FindWindowW(LPCWSTR lpClassName, LPCWSTR lpWindowName);
BOOL WINAPI IsWindow(HWND hWnd);
BOOL WINAPI IsWindowVisible(HWND hWnd);
BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow);
BOOL WINAPI UpdateWindow(HWND hWnd);
BOOL WINAPI InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase);
BOOL WINAPI EnableWindow(HWND hWnd, BOOL bEnable);
HWND WINAPI SetFocus(HWND hWnd);
BOOL WINAPI SetForegroundWindow(HWND hWnd);
HWND WINAPI GetParent(HWND hWnd);
HWND WINAPI GetWindow(HWND hWnd, UINT uCmd);
BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect);
BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect);
BOOL WINAPI SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy,
                         UINT uFlags);
int WINAPI GetSystemMetrics(int nIndex);
BOOL WINAPI GetMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax);
BOOL WINAPI PeekMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax,
                         UINT wRemoveMsg);
BOOL WINAPI TranslateMessage(const MSG* lpMsg);
LONG WINAPI DispatchMessageW(const MSG* lpMsg);
BOOL WINAPI PostMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
LRESULT WINAPI SendMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
void WINAPI PostQuitMessage(int nExitCode);
UINT WINAPI SetTimer(HWND hWnd, UINT nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc);
BOOL WINAPI KillTimer(HWND hWnd, UINT uIDEvent);
HCURSOR WINAPI SetCursor(HCURSOR hCursor);
/* Only the wait cursor on a device without a mouse cursor. */
HCURSOR WINAPI LoadCursorW(HINSTANCE hInstance, LPCWSTR lpCursorName);
int WINAPIV wsprintfW(LPWSTR lpOut, LPCWSTR lpFmt, ...);

/* Dialogs */
int WINAPI DialogBoxIndirectParamW(HINSTANCE hInstance, LPCDLGTEMPLATE lpTemplate,
                                   HWND hWndParent, DLGPROC lpDialogFunc, LPARAM dwInitParam);
BOOL WINAPI EndDialog(HWND hDlg, int nResult);
HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem);
UINT WINAPI GetDlgItemTextW(HWND hDlg, int nIDDlgItem, LPWSTR lpString, int nMaxCount);
BOOL WINAPI SetDlgItemTextW(HWND hDlg, int nIDDlgItem, LPCWSTR lpString);
LONG WINAPI SendDlgItemMessageW(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam,
                                LPARAM lParam);
int WINAPI MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType);

/* Resources */
HRSRC WINAPI FindResourceW(HMODULE hModule, LPCWSTR lpName, LPCWSTR lpType);
HGLOBAL WINAPI LoadResource(HMODULE hModule, HRSRC hResInfo);
int WINAPI LoadStringW(HINSTANCE hInstance, UINT uID, LPWSTR lpBuffer, int nBufferMax);
HANDLE WINAPI LoadImageW(HINSTANCE hinst, LPCWSTR lpszName, UINT uType, int cxDesired,
                         int cyDesired, UINT fuLoad);

/* GDI */
HGDIOBJ WINAPI GetStockObject(int fnObject);
HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ hgdiobj);
BOOL WINAPI DeleteObject(HGDIOBJ hObject);
HDC WINAPI CreateCompatibleDC(HDC hdc);
BOOL WINAPI DeleteDC(HDC hdc);
BOOL WINAPI BitBlt(HDC hdcDest, int nXDest, int nYDest, int nWidth, int nHeight, HDC hdcSrc,
                   int nXSrc, int nYSrc, DWORD dwRop);
int WINAPI SetBkMode(HDC hdc, int iBkMode);
COLORREF WINAPI SetTextColor(HDC hdc, COLORREF crColor);

/* Registry */
LONG WINAPI RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                          HKEY* phkResult);
LONG WINAPI RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD Reserved, LPWSTR lpClass,
                            DWORD dwOptions, REGSAM samDesired,
                            LPSECURITY_ATTRIBUTES lpSecurityAttributes, HKEY* phkResult,
                            LPDWORD lpdwDisposition);
LONG WINAPI RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved,
                             LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData);
LONG WINAPI RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD Reserved, DWORD dwType,
                           const BYTE* lpData, DWORD cbData);
LONG WINAPI RegCloseKey(HKEY hKey);
/* "RegFlushKey (Windows CE 5.0)": commits the registry to persistent storage;
 * returns only when written. Winreg.h, Coredll.lib, CE 2.10 and later. */
LONG WINAPI RegFlushKey(HKEY hKey);

/* Processes, handles, heap */
BOOL WINAPI CreateProcessW(LPCWSTR pszImageName, LPCWSTR pszCmdLine,
                           LPSECURITY_ATTRIBUTES psaProcess, LPSECURITY_ATTRIBUTES psaThread,
                           BOOL fInheritHandles, DWORD fdwCreate, LPVOID pvEnvironment,
                           LPWSTR pszCurDir, LPSTARTUPINFOW psiStartInfo,
                           LPPROCESS_INFORMATION pProcInfo);
BOOL WINAPI CloseHandle(HANDLE hObject);
HANDLE WINAPI CreateMutexW(LPSECURITY_ATTRIBUTES lpMutexAttributes, BOOL bInitialOwner,
                           LPCWSTR lpName);
DWORD WINAPI GetLastError(void);
void WINAPI Sleep(DWORD dwMilliseconds);
/* Milliseconds since the start, wrapping after about 49.7 days. */
DWORD WINAPI GetTickCount(void);
HLOCAL WINAPI LocalAlloc(UINT uFlags, UINT uBytes);
/* The Debug configurations pass DEBUG, and a call of LocalAlloc then
 * becomes one of LocalAllocTrace with the caller's line and file. */
#ifdef DEBUG
HLOCAL WINAPI LocalAllocTrace(UINT fuFlags, UINT cbBytes, UINT cLineNum, PCHAR szFilename);
#define LocalAlloc(f, b)    LocalAllocTrace((f), (b), __LINE__, (PCHAR)__FILE__)
#endif

/* Threads and synchronisation. The thread's security attributes are
 * "Ignored. Must be NULL"; its stack size is ignored without
 * STACK_SIZE_PARAM_IS_A_RESERVATION, which the model leaves out. */
HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES lpsa, DWORD cbStack,
                           LPTHREAD_START_ROUTINE lpStartAddr, LPVOID lpvThreadParam,
                           DWORD fdwCreate, LPDWORD lpIDThread);
HANDLE WINAPI CreateEventW(LPSECURITY_ATTRIBUTES lpEventAttributes, BOOL bManualReset,
                           BOOL bInitialState, LPCWSTR lpName);
/* The import behind SetEvent, ResetEvent and PulseEvent (inline below). */
BOOL WINAPI EventModify(HANDLE hEvent, DWORD func);
DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds);
DWORD WINAPI WaitForMultipleObjects(DWORD cObjects, CONST HANDLE* lphObjects, BOOL fWaitAll,
                                    DWORD dwTimeout);
HLOCAL WINAPI LocalFree(HLOCAL hMem);

} /* extern "C" */

/* Inline on the device over EventModify, which is the import. */
#define EVENT_PULSE     1
#define EVENT_RESET     2
#define EVENT_SET       3
inline BOOL PulseEvent(HANDLE h)
{
    return EventModify(h, EVENT_PULSE);
}
inline BOOL ResetEvent(HANDLE h)
{
    return EventModify(h, EVENT_RESET);
}
inline BOOL SetEvent(HANDLE h)
{
    return EventModify(h, EVENT_SET);
}

/* Inline on the device: a loaded resource is already its own address. */
inline LPVOID LockResource(HGLOBAL hResData)
{
    return hResData;
}

#endif
