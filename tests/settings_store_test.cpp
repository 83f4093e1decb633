// The settings record against the real registry of the test prefix.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "settings/settings.h"
#include "support/scratch_registry.h"

namespace {

class SettingsStore : public testing::Test {
protected:
    void SetUp() override
    {
        DeleteSettingsKey();
        ClearSettingsRecord();
    }
    void TearDown() override { DeleteSettingsKey(); }
};

std::vector<BYTE> TextImage(const std::wstring& text, size_t units)
{
    std::vector<BYTE> image(units * 2, 0);
    memcpy(image.data(), text.c_str(), text.size() * 2);
    return image;
}

void SetField(WCHAR* field, size_t units, const wchar_t* text)
{
    ASSERT_LT(wcslen(text), units);
    wcscpy(field, text);
}

TEST_F(SettingsStore, NoKeyResetsPasswordAndTimeoutAndKeepsTheRest)
{
    wcscpy(Settings.Pass, L"secret");
    wcscpy(Settings.AppPass, L"\\keep.exe");
    Settings.nTimeout = 99;
    Settings.PassEnable = 7;
    Settings.AppEnable = 3;

    EXPECT_EQ(-1, LoadSettings());
    EXPECT_EQ(20u, Settings.nTimeout);
    for (WCHAR unit : Settings.Pass)
        EXPECT_EQ(0, unit);
    EXPECT_STREQ(L"\\keep.exe", Settings.AppPass);
    EXPECT_EQ(7u, Settings.PassEnable);
    EXPECT_EQ(3u, Settings.AppEnable);
}

TEST_F(SettingsStore, EveryValueButAppEnableIsReadYetCountsAsMissing)
{
    PutText(L"Pass", L"pw");
    PutDword(L"PassEnable", 1);
    PutDword(L"nTimeout", 45);
    PutText(L"AppPass", L"\\windows\\x.exe");

    EXPECT_EQ(-1, LoadSettings());
    EXPECT_STREQ(L"pw", Settings.Pass);
    EXPECT_EQ(1u, Settings.PassEnable);
    EXPECT_EQ(45u, Settings.nTimeout);
    EXPECT_STREQ(L"\\windows\\x.exe", Settings.AppPass);
}

TEST_F(SettingsStore, MissingValuesKeepDefaultsAndOnlyAppEnableDecides)
{
    PutDword(L"AppEnable", 2);
    Settings.nTimeout = 500;
    EXPECT_EQ(0, LoadSettings());
    EXPECT_EQ(20u, Settings.nTimeout);
    EXPECT_STREQ(L"", Settings.Pass);
    EXPECT_EQ(2u, Settings.AppEnable);
}

TEST_F(SettingsStore, WritesTypesAndExactByteImages)
{
    wcscpy(Settings.Pass, L"abc");
    Settings.PassEnable = 1;
    Settings.nTimeout = 300;
    Settings.AppEnable = 1;
    ASSERT_EQ(0, SaveSettings());

    DWORD type;
    std::vector<BYTE> data;
    ASSERT_TRUE(GetValue(L"Pass", &type, &data));
    EXPECT_EQ((DWORD)REG_SZ, type);
    EXPECT_EQ(TextImage(L"abc", 11), data);

    ASSERT_TRUE(GetValue(L"AppPass", &type, &data));
    EXPECT_EQ((DWORD)REG_SZ, type);
    EXPECT_EQ(std::vector<BYTE>(200, 0), data);

    const struct { const wchar_t* name; DWORD value; } numbers[] = {
        {L"PassEnable", 1}, {L"nTimeout", 300}, {L"AppEnable", 1}};
    for (const auto& n : numbers) {
        ASSERT_TRUE(GetValue(n.name, &type, &data)) << n.name;
        EXPECT_EQ((DWORD)REG_DWORD, type) << n.name;
        ASSERT_EQ(4u, data.size()) << n.name;
        EXPECT_EQ(n.value, *(DWORD*)data.data()) << n.name;
    }
}

TEST_F(SettingsStore, ReplacedPasswordLeavesNoTailInTheRegistry)
{
    SetField(Settings.Pass, PASS_UNITS, L"longpass");
    SetField(Settings.AppPass, APPPASS_UNITS, L"\\windows\\a_much_longer_path.exe");
    ASSERT_EQ(0, SaveSettings());

    // The dialog writes the shorter texts over the longer ones in place.
    wcscpy(Settings.Pass, L"abc");
    wcscpy(Settings.AppPass, L"\\b.exe");
    ASSERT_EQ(0, SaveSettings());

    DWORD type;
    std::vector<BYTE> data;
    ASSERT_TRUE(GetValue(L"Pass", &type, &data));
    EXPECT_EQ(TextImage(L"abc", 11), data);
    ASSERT_TRUE(GetValue(L"AppPass", &type, &data));
    EXPECT_EQ(TextImage(L"\\b.exe", 100), data);
    // The record itself is not scrubbed: only what leaves the process is.
    EXPECT_EQ(L'p', Settings.Pass[4]);
}

TEST_F(SettingsStore, SaveThenLoadGivesTheSameRecord)
{
    const DWORD timeouts[] = {5, 300, 0xFFFFFFFFu};
    for (DWORD timeout : timeouts) {
        SetField(Settings.Pass, PASS_UNITS, L"0123456789");
        Settings.PassEnable = 1;
        Settings.nTimeout = timeout;
        SetField(Settings.AppPass, APPPASS_UNITS, std::wstring(99, L'p').c_str());
        Settings.AppEnable = 1;
        ASSERT_EQ(0, SaveSettings());
        SettingsRecord saved = Settings;

        ClearSettingsRecord();
        ASSERT_EQ(0, LoadSettings());
        EXPECT_EQ(0, memcmp(&saved, &Settings, sizeof(Settings))) << timeout;
        EXPECT_EQ(timeout, Settings.nTimeout);
    }
}

TEST_F(SettingsStore, OversizedValuesAreCutToTheirFieldAndTerminated)
{
    PutText(L"Pass", std::wstring(40, L'x'));
    PutText(L"AppPass", std::wstring(300, L'y'));
    const BYTE eight[8] = {7, 0, 0, 0, 0xAA, 0xBB, 0xCC, 0xDD};
    PutValue(L"nTimeout", REG_QWORD, eight, sizeof(eight));
    PutValue(L"PassEnable", REG_BINARY, eight, sizeof(eight));
    PutValue(L"AppEnable", REG_BINARY, eight, 5);

    EXPECT_EQ(0, LoadSettings());
    EXPECT_EQ(std::wstring(10, L'x'), Settings.Pass);
    EXPECT_EQ(std::wstring(99, L'y'), Settings.AppPass);
    EXPECT_EQ(7u, Settings.nTimeout);
    EXPECT_EQ(7u, Settings.PassEnable);
    EXPECT_EQ(7u, Settings.AppEnable);
}

TEST_F(SettingsStore, UnterminatedShortAndWrongTypedValues)
{
    // Texts without a terminator, an odd byte count, numbers as text.
    const wchar_t raw[] = {L'a', L'b', L'c'};
    PutValue(L"Pass", REG_BINARY, raw, sizeof(raw));
    PutValue(L"AppPass", REG_SZ, "\\z", 3);
    PutText(L"nTimeout", L"30");
    const BYTE two[2] = {0x34, 0x12};
    PutValue(L"PassEnable", REG_BINARY, two, sizeof(two));
    PutValue(L"AppEnable", REG_DWORD, NULL, 0);

    Settings.PassEnable = 0xFFFFFFFF;
    wcscpy(Settings.AppPass, L"old old old");
    EXPECT_EQ(0, LoadSettings());
    EXPECT_STREQ(L"abc", Settings.Pass);
    EXPECT_EQ(0x1234u, Settings.PassEnable);
    // "30" as UTF-16 is 0x0033 0x0030: four bytes, taken as they are.
    EXPECT_EQ(0x00300033u, Settings.nTimeout);
    EXPECT_EQ(0, Settings.AppPass[1]);
    EXPECT_EQ(0, Settings.AppPass[APPPASS_UNITS - 1]);
    EXPECT_EQ(0u, Settings.AppEnable);
}

TEST_F(SettingsStore, FullTextFieldsAreTerminatedWithinThemselves)
{
    // Exactly 22 and 200 bytes, no terminator inside.
    std::wstring pass(11, L'q'), app(100, L'r');
    PutValue(L"Pass", REG_SZ, pass.data(), 22);
    PutValue(L"AppPass", REG_SZ, app.data(), 200);
    PutDword(L"AppEnable", 1);

    ASSERT_EQ(0, LoadSettings());
    EXPECT_EQ(std::wstring(10, L'q'), Settings.Pass);
    EXPECT_EQ(std::wstring(99, L'r'), Settings.AppPass);
}

TEST_F(SettingsStore, SaveAsksForTheAccessItNeedsOnAnExistingKey)
{
    PutRecord(L"old", 0, 20, L"\\a.exe", 0);
    Settings.AppEnable = 1;
    Settings.nTimeout = 42;
    ASSERT_EQ(0, SaveSettings());
    ClearSettingsRecord();
    ASSERT_EQ(0, LoadSettings());
    EXPECT_EQ(42u, Settings.nTimeout);
    EXPECT_EQ(1u, Settings.AppEnable);
    EXPECT_STREQ(L"", Settings.Pass);
}

}  // namespace
