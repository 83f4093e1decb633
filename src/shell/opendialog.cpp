#include "shell/shell.h"

INT_PTR OpenDialog(HWND hOwner, int idTemplate, DLGPROC dlgProc)
{
    HRSRC hRes = FindResourceW(g_hInstance, MAKEINTRESOURCEW(idTemplate), (LPCWSTR)RT_DIALOG);
    if (!hRes)
        return -1;
    HGLOBAL hTemplate = LoadResource(g_hInstance, hRes);
    if (!hTemplate)
        return -1;
    const DLGTEMPLATE* pTemplate = (const DLGTEMPLATE*)LockResource(hTemplate);
    return DialogBoxIndirectParamW(g_hInstance, pTemplate, hOwner, dlgProc, 0);
}
