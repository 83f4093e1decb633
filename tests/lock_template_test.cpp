// The lock screen's template and pictures as they are built into the exe.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resource.h"
#include "shell/shell.h"

namespace {

struct Item {
    DWORD style;
    short x, y, cx, cy;
    WORD id;
    std::wstring cls;
    std::wstring text;          // "#N" for a resource ordinal
};

struct Reader {
    const BYTE* p;
    WORD Word() { WORD w = *(const WORD*)p; p += 2; return w; }
    DWORD Dword() { DWORD d = *(const DWORD*)p; p += 4; return d; }
    // A string or an ordinal field of the template.
    std::wstring SzOrOrd()
    {
        if (*(const WORD*)p == 0xFFFF) {
            p += 2;
            return L"#" + std::to_wstring(Word());
        }
        std::wstring s((const wchar_t*)p);
        p += (s.size() + 1) * 2;
        return s;
    }
    void Align(const BYTE* base) { p = base + ((p - base + 3) & ~3); }
};

std::wstring ClassName(const std::wstring& cls)
{
    if (cls == L"#128") return L"BUTTON";
    if (cls == L"#129") return L"EDIT";
    if (cls == L"#130") return L"STATIC";
    std::wstring up;
    for (wchar_t c : cls) up += (wchar_t)towupper(c);
    return up;
}

const BYTE* Resource(int id, LPCWSTR type, DWORD* size)
{
    HRSRC r = FindResourceW(g_hInstance, MAKEINTRESOURCEW(id), type);
    if (!r)
        return nullptr;
    *size = SizeofResource(g_hInstance, r);
    return (const BYTE*)LockResource(LoadResource(g_hInstance, r));
}

TEST(LockTemplate, MatchesTheLockScreenTableExactly)
{
    DWORD size = 0;
    const BYTE* base = Resource(IDD_LOCK, (LPCWSTR)RT_DIALOG, &size);
    ASSERT_NE(nullptr, base);
    Reader r{base};
    ASSERT_NE(0xFFFF0001u, *(const DWORD*)base) << "a plain template, not an extended one";
    EXPECT_EQ((DWORD)(WS_POPUP | DS_SETFONT), r.Dword());
    EXPECT_EQ(0u, r.Dword()) << "extended style";
    WORD count = r.Word();
    EXPECT_EQ(0, (short)r.Word());
    EXPECT_EQ(0, (short)r.Word());
    EXPECT_EQ(138, (short)r.Word());
    EXPECT_EQ(200, (short)r.Word());
    EXPECT_EQ(L"", r.SzOrOrd()) << "menu";
    EXPECT_EQ(L"", r.SzOrOrd()) << "class";
    EXPECT_EQ(L"", r.SzOrOrd()) << "title";
    EXPECT_EQ(10, r.Word()) << "point size";
    EXPECT_EQ(L"MS UI Gothic", r.SzOrOrd());

    const DWORD kChild = WS_CHILD | WS_VISIBLE;
    const std::vector<Item> expected = {
        {kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_PASSWORD, 67, 113, 54, 12,
         IDC_LOCK_PASSWORD, L"EDIT", L""},
        {kChild | WS_GROUP | SS_RIGHT, 29, 115, 35, 10, IDC_LOCK_PASS_LABEL, L"STATIC",
         L"パスワード："},
        {WS_CHILD | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 181, 138, 18, IDOK, L"BUTTON", L"閉じる"},
        {kChild | WS_GROUP | SS_CENTER, 3, 135, 135, 11, IDC_LOCK_STATUS, L"STATIC", L""},
        {kChild | WS_GROUP | SS_CENTER, 34, 156, 75, 11, IDC_LOCK_HINT, L"STATIC", L""},
        {kChild | WS_GROUP | SS_LEFT, 77, 58, 57, 11, IDC_LOCK_PROGRESS, L"STATIC", L""},
        {kChild | SS_BITMAP, 15, 153, 18, 20, IDC_LOCK_WARNING, L"STATIC", L"#122"},
        {kChild | SS_BITMAP, 0, 0, 137, 129, IDC_LOCK_PICTURE, L"STATIC", L"#121"},
    };
    ASSERT_EQ(expected.size(), count);
    for (const Item& e : expected) {
        SCOPED_TRACE(e.id);
        r.Align(base);
        EXPECT_EQ(e.style, r.Dword());
        EXPECT_EQ(0u, r.Dword()) << "extended style";
        EXPECT_EQ(e.x, (short)r.Word());
        EXPECT_EQ(e.y, (short)r.Word());
        EXPECT_EQ(e.cx, (short)r.Word());
        EXPECT_EQ(e.cy, (short)r.Word());
        EXPECT_EQ(e.id, r.Word());
        EXPECT_EQ(e.cls, ClassName(r.SzOrOrd()));
        EXPECT_EQ(e.text, r.SzOrOrd());
        EXPECT_EQ(0, r.Word()) << "creation data";
    }
    EXPECT_LE((size_t)(r.p - base), (size_t)size);
}

TEST(LockTemplate, PicturesAreEightBitWhiteAndOneBlue)
{
    struct Pic { int id; LONG w, h; } pics[] = {{IDB_LOCK_PICTURE, 240, 209}, {IDB_LOCK_WARNING, 32, 32}};
    for (const Pic& pic : pics) {
        SCOPED_TRACE(pic.id);
        DWORD size = 0;
        const BYTE* data = Resource(pic.id, (LPCWSTR)RT_BITMAP, &size);
        ASSERT_NE(nullptr, data);
        const BITMAPINFOHEADER* bi = (const BITMAPINFOHEADER*)data;
        EXPECT_EQ(pic.w, bi->biWidth);
        EXPECT_EQ(pic.h, bi->biHeight);
        EXPECT_EQ(8, bi->biBitCount);
        EXPECT_EQ((DWORD)BI_RGB, bi->biCompression);
        ASSERT_EQ(2u, bi->biClrUsed);
        const RGBQUAD* pal = (const RGBQUAD*)(data + bi->biSize);
        EXPECT_EQ(RGB(255, 255, 255), RGB(pal[0].rgbRed, pal[0].rgbGreen, pal[0].rgbBlue));
        EXPECT_EQ(RGB(58, 62, 162), RGB(pal[1].rgbRed, pal[1].rgbGreen, pal[1].rgbBlue));
        const BYTE* px = (const BYTE*)(pal + 2);
        LONG stride = (pic.w + 3) & ~3, blue = 0;
        ASSERT_GE(size, bi->biSize + 8 + (DWORD)(stride * pic.h));
        for (LONG i = 0; i < stride * pic.h; i++)
            blue += px[i] == 1;
        // Drawn, not blank, and mostly white.
        EXPECT_GT(blue, pic.w * pic.h / 20);
        EXPECT_LT(blue, pic.w * pic.h * 2 / 3);
    }
}

}  // namespace
