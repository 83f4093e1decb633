#include "support/dialog_driver.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "shell/shell.h"

namespace {

struct Driver {
    const std::function<void(HWND)>* script = nullptr;
    HWND hDlg = NULL;
    bool scripted = false;
    DialogRun* run = nullptr;
    HHOOK hook = NULL;
    UINT_PTR timer = 0;
};
Driver* g_driver;

LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && g_driver && !g_driver->hDlg) {
        HWND h = (HWND)wParam;
        WCHAR cls[16];
        if (GetClassNameW(h, cls, 16) && wcscmp(cls, L"#32770") == 0)
            g_driver->hDlg = h;
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

BOOL CALLBACK AnswerBox(HWND h, LPARAM)
{
    DWORD pid = 0;
    if (GetWindowThreadProcessId(h, &pid) != GetCurrentThreadId() || h == g_driver->hDlg)
        return TRUE;
    WCHAR cls[16];
    if (!GetClassNameW(h, cls, 16) || wcscmp(cls, L"#32770") != 0 || !IsWindowVisible(h))
        return TRUE;
    SeenMessageBox box;
    WCHAR buf[512];
    GetWindowTextW(h, buf, 512);
    box.caption = buf;
    GetDlgItemTextW(h, 0xFFFF, buf, 512);
    box.text = buf;
    box.owner = GetWindow(h, GW_OWNER);
    g_driver->run->boxes.push_back(box);
    SendMessageW(h, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(h, IDOK));
    return TRUE;
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
{
    Driver* d = g_driver;
    if (!d)
        return;
    // Called again from the nested loop of any message box the script causes.
    EnumThreadWindows(GetCurrentThreadId(), AnswerBox, 0);
    if (d->scripted || !d->hDlg || !IsWindowVisible(d->hDlg))
        return;
    d->scripted = true;
    (*d->script)(d->hDlg);
    if (IsWindow(d->hDlg) && IsWindowVisible(d->hDlg))
        EndDialog(d->hDlg, kStillOpen);
}

}  // namespace

DialogRun RunDialog(int idTemplate, DLGPROC proc, const std::function<void(HWND)>& script,
                    HWND owner)
{
    DialogRun run;
    Driver d;
    d.script = &script;
    d.run = &run;
    g_driver = &d;
    d.hook = SetWindowsHookExW(WH_CBT, CbtProc, NULL, GetCurrentThreadId());
    d.timer = SetTimer(NULL, 0, 10, Tick);
    run.result = OpenDialog(owner, idTemplate, proc);
    KillTimer(NULL, d.timer);
    UnhookWindowsHookEx(d.hook);
    g_driver = nullptr;
    EXPECT_TRUE(d.scripted) << "the dialog never became visible";
    PumpMessages();
    return run;
}

std::wstring ItemText(HWND dlg, int id)
{
    WCHAR buf[512] = L"";
    GetDlgItemTextW(dlg, id, buf, 512);
    return buf;
}

bool ItemShown(HWND dlg, int id)
{
    return (GetWindowLongW(GetDlgItem(dlg, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

void PumpMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

COLORREF ScreenPixel(int x, int y)
{
    HDC hdc = GetDC(NULL);
    COLORREF c = GetPixel(hdc, x, y);
    ReleaseDC(NULL, hdc);
    return c;
}

namespace {

unsigned long Crc32(const unsigned char* p, size_t n, unsigned long crc = 0)
{
    crc = ~crc & 0xFFFFFFFFul;
    for (size_t i = 0; i < n; i++) {
        crc ^= p[i];
        for (int k = 0; k < 8; k++)
            crc = (crc >> 1) ^ (0xEDB88320ul & (0ul - (crc & 1)));
    }
    return ~crc & 0xFFFFFFFFul;
}

void Be32(std::string* out, unsigned long v)
{
    for (int s = 24; s >= 0; s -= 8)
        out->push_back((char)((v >> s) & 0xFF));
}

void Chunk(std::string* png, const char* type, const std::string& data)
{
    Be32(png, data.size());
    std::string body = std::string(type, 4) + data;
    png->append(body);
    Be32(png, Crc32((const unsigned char*)body.data(), body.size()));
}

// A PNG with stored (uncompressed) deflate blocks: large, but needs no zlib.
std::string EncodePng(int w, int h, const std::vector<unsigned char>& rgb)
{
    std::string raw;
    for (int y = 0; y < h; y++) {
        raw.push_back(0);
        raw.append((const char*)&rgb[(size_t)y * w * 3], (size_t)w * 3);
    }
    std::string z = "\x78\x01";
    unsigned long a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    for (size_t pos = 0; pos < raw.size() || pos == 0; pos += 65535) {
        size_t n = raw.size() - pos < 65535 ? raw.size() - pos : 65535;
        z.push_back(pos + n >= raw.size() ? 1 : 0);
        z.push_back((char)(n & 0xFF));
        z.push_back((char)(n >> 8));
        z.push_back((char)(~n & 0xFF));
        z.push_back((char)((~n >> 8) & 0xFF));
        z.append(raw, pos, n);
    }
    Be32(&z, (b << 16) | a);
    std::string png = "\x89PNG\r\n\x1a\n";
    std::string ihdr;
    Be32(&ihdr, w);
    Be32(&ihdr, h);
    ihdr += std::string("\x08\x02\x00\x00\x00", 5);
    Chunk(&png, "IHDR", ihdr);
    Chunk(&png, "IDAT", z);
    Chunk(&png, "IEND", "");
    return png;
}

}  // namespace

std::wstring SaveScreenshot(const wchar_t* name)
{
    PumpMessages();
    int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(NULL);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    int stride = (w * 3 + 3) & ~3;
    std::vector<unsigned char> bgr((size_t)stride * h), rgb((size_t)w * h * 3);
    GetDIBits(mem, bmp, 0, h, bgr.data(), &bi, DIB_RGB_COLORS);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(NULL, screen);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            for (int c = 0; c < 3; c++)
                rgb[((size_t)y * w + x) * 3 + c] = bgr[(size_t)y * stride + x * 3 + 2 - c];

    std::wstring dir;
    WCHAR env[MAX_PATH];
    if (GetEnvironmentVariableW(L"BK_BUILD", env, MAX_PATH)) {
        // A Unix path from the test command; Wine maps Z: to the root.
        dir = L"Z:";
        dir += env;
    } else {
        GetModuleFileNameW(NULL, env, MAX_PATH);
        dir = env;
        dir.erase(dir.find_last_of(L"\\/"));
    }
    dir += L"\\screenshots";
    CreateDirectoryW(dir.c_str(), NULL);
    std::wstring path = dir + L"\\" + name + L".png";
    std::string png = EncodePng(w, h, rgb);
    FILE* f = _wfopen(path.c_str(), L"wb");
    EXPECT_NE(nullptr, f) << "cannot write the screenshot";
    if (f) {
        fwrite(png.data(), 1, png.size(), f);
        fclose(f);
    }
    return path;
}
