// The program's own names and icon, read from the built resources.
#include <gtest/gtest.h>

#include <string>

#include "resource.h"
#include "shell/shell.h"

namespace {

#pragma pack(push, 2)
struct IconDirEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
struct IconDir {
    WORD reserved, type, count;
    IconDirEntry entries[1];
};
#pragma pack(pop)

std::wstring String(UINT id)
{
    WCHAR buf[100] = L"";
    LoadStringW(g_hInstance, id, buf, 100);
    return buf;
}

TEST(Resources, StringTableHoldsOnlyTheThreeNamesInJapanese)
{
    EXPECT_EQ(L"Brondelkit", String(IDS_WINDOW_TITLE));
    EXPECT_EQ(L"BRONDELKIT", String(IDS_NAME_UPPER));
    EXPECT_EQ(L"Brondelkit", String(IDS_WINDOW_CLASS));
    for (UINT id : {0u, 2u, 5u, 6u, 15u, 16u, 17u})
        EXPECT_EQ(L"", String(id)) << id;

    // Ids 0..15 share block 1, which exists in Japanese only.
    EXPECT_TRUE(FindResourceExW(g_hInstance, (LPCWSTR)RT_STRING, MAKEINTRESOURCEW(1),
                                MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)));
    EXPECT_FALSE(FindResourceExW(g_hInstance, (LPCWSTR)RT_STRING, MAKEINTRESOURCEW(1),
                                 MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)));
    EXPECT_FALSE(FindResourceExW(g_hInstance, (LPCWSTR)RT_STRING, MAKEINTRESOURCEW(2),
                                 MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)));
}

TEST(Resources, IconGroupHasSixteenColourImagesOfBothSizes)
{
    HRSRC res = FindResourceW(g_hInstance, MAKEINTRESOURCEW(IDI_APP), (LPCWSTR)RT_GROUP_ICON);
    ASSERT_TRUE(res);
    const IconDir* dir = (const IconDir*)LockResource(LoadResource(g_hInstance, res));
    ASSERT_TRUE(dir);
    ASSERT_EQ(2, dir->count);
    int sizes = 0;
    for (int i = 0; i < dir->count; i++) {
        const IconDirEntry& e = dir->entries[i];
        EXPECT_EQ(16, e.colours);
        EXPECT_EQ(4, e.bitCount);
        sizes |= e.width == 32 && e.height == 32 ? 1 : e.width == 16 && e.height == 16 ? 2 : 4;
    }
    EXPECT_EQ(3, sizes);

    // The size the notification icon asks for is there as it is.
    HICON icon = (HICON)LoadImageW(g_hInstance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, 16, 16, 0);
    ASSERT_TRUE(icon);
    ICONINFO info;
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bm;
    GetObjectW(info.hbmMask, sizeof(bm), &bm);
    EXPECT_EQ(16, bm.bmWidth);
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    DestroyIcon(icon);
}

}  // namespace
