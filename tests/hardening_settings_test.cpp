// The settings store against thousands of random registry contents: every
// value missing or present, of any type, of any size from 0 to 1 KiB, with
// or without a terminator. The record must take exactly what a read cut to
// each field gives, keep every text terminated within its field, and never
// write past a field.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <iostream>
#include <random>
#include <vector>

#include "settings/registry.h"
#include "settings/settings.h"
#include "support/scratch_registry.h"

namespace {

const int kContents = 3000;     // random registry contents tried
const BYTE kGuard = 0xA5;

struct Value {
    const wchar_t* name;
    size_t offset;              // of its field in the record
    DWORD cbField;
};

// In the order LoadSettings reads them.
const Value kValues[] = {
    {L"Pass", offsetof(SettingsRecord, Pass), sizeof(Settings.Pass)},
    {L"PassEnable", offsetof(SettingsRecord, PassEnable), sizeof(DWORD)},
    {L"nTimeout", offsetof(SettingsRecord, nTimeout), sizeof(DWORD)},
    {L"AppPass", offsetof(SettingsRecord, AppPass), sizeof(Settings.AppPass)},
    {L"AppEnable", offsetof(SettingsRecord, AppEnable), sizeof(DWORD)},
};

const DWORD kTypes[] = {REG_SZ, REG_DWORD, REG_BINARY, REG_EXPAND_SZ, REG_MULTI_SZ,
                        REG_NONE, REG_QWORD, REG_DWORD_BIG_ENDIAN, 0x1234};

// Sizes around each field's edge come up far more often than chance gives.
const DWORD kEdgeSizes[] = {0, 1, 2, 3, 4, 5, 8, 20, 21, 22, 23, 24, 198, 199, 200,
                            201, 202, 256, 1023, 1024};

struct Stored {
    bool present = false;
    std::vector<BYTE> data;     // as the registry gives it back
};

class Fuzz {
public:
    explicit Fuzz(unsigned seed) : rng_(seed) {}
    unsigned Next(unsigned n) { return std::uniform_int_distribution<unsigned>(0, n - 1)(rng_); }

    std::vector<BYTE> Data()
    {
        DWORD size = Next(3) == 0 ? Next(1025) : kEdgeSizes[Next(sizeof(kEdgeSizes) / 4)];
        std::vector<BYTE> d(size);
        // Mostly text-like units without any terminator, sometimes raw bytes.
        bool raw = Next(4) == 0;
        for (DWORD i = 0; i < size; i++)
            d[i] = raw ? (BYTE)Next(256) : (BYTE)(i % 2 ? 0x30 + Next(10) : 0x41 + Next(26));
        if (!raw && size >= 2 && Next(3) == 0) {
            DWORD unit = Next(size / 2);
            d[unit * 2] = d[unit * 2 + 1] = 0;  // a terminator somewhere
        }
        return d;
    }

    void Fill(void* p, size_t cb)
    {
        for (size_t i = 0; i < cb; i++)
            ((BYTE*)p)[i] = (BYTE)Next(256);
    }

private:
    std::mt19937 rng_;
};

HKEY OpenForWriting()
{
    HKEY key = NULL;
    EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, SETTINGS_KEY, 0, NULL, 0,
                                             KEY_ALL_ACCESS, NULL, &key, NULL));
    return key;
}

// What a read of `stored` into a field of cbField bytes must leave there:
// the data cut to the field, the rest zero.
std::vector<BYTE> CutToField(const std::vector<BYTE>& stored, DWORD cbField)
{
    std::vector<BYTE> field(cbField, 0);
    memcpy(field.data(), stored.data(), stored.size() < cbField ? stored.size() : cbField);
    return field;
}

bool TerminatedWithin(const WCHAR* text, size_t units)
{
    for (size_t i = 0; i < units; i++)
        if (text[i] == 0)
            return true;
    return false;
}

class HardeningSettings : public testing::Test {
protected:
    void SetUp() override
    {
        DeleteSettingsKey();
        ClearSettingsRecord();
    }
    void TearDown() override
    {
        DeleteSettingsKey();
        ClearSettingsRecord();
    }
};

TEST_F(HardeningSettings, LoadTakesExactlyTheCutFieldsOfAnyRegistryContent)
{
    Fuzz fuzz(0x5E771465);
    int loads = 0, missingKeys = 0, oversized = 0, unterminated = 0, faults = 0;

    for (int attempt = 0; attempt < kContents; attempt++) {
        SCOPED_TRACE(testing::Message() << "attempt " << attempt);
        Stored stored[5];
        bool keyExists = fuzz.Next(25) != 0;
        DeleteSettingsKey();
        if (keyExists) {
            HKEY key = OpenForWriting();
            for (int v = 0; v < 5; v++) {
                if (fuzz.Next(4) == 0)
                    continue;               // this value is missing
                std::vector<BYTE> data = fuzz.Data();
                DWORD type = kTypes[fuzz.Next(sizeof(kTypes) / sizeof(kTypes[0]))];
                ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, kValues[v].name, 0, type,
                                                         data.data(), (DWORD)data.size()));
            }
            RegCloseKey(key);
            for (int v = 0; v < 5; v++) {
                DWORD type;
                stored[v].present = GetValue(kValues[v].name, &type, &stored[v].data);
                if (stored[v].present && stored[v].data.size() > kValues[v].cbField)
                    oversized++;
            }
        } else {
            missingKeys++;
        }

        // Whatever the record held before: the missing values keep it.
        fuzz.Fill(&Settings, sizeof(Settings));
        SettingsRecord before = Settings;
        std::vector<BYTE> launchBefore(sizeof(LaunchPath));
        fuzz.Fill(LaunchPath, sizeof(LaunchPath));
        memcpy(launchBefore.data(), LaunchPath, sizeof(LaunchPath));

        int rc = LoadSettings();
        loads++;

        // The record, field by field, against what a cut read gives.
        SettingsRecord expected = before;
        memset(expected.Pass, 0, sizeof(expected.Pass));
        expected.nTimeout = DEFAULT_TIMEOUT;
        for (int v = 0; v < 5; v++) {
            if (!stored[v].present)
                continue;
            std::vector<BYTE> cut = CutToField(stored[v].data, kValues[v].cbField);
            memcpy((BYTE*)&expected + kValues[v].offset, cut.data(), cut.size());
        }
        for (int v : {0, 3}) {
            const WCHAR* text = (const WCHAR*)((BYTE*)&expected + kValues[v].offset);
            if (stored[v].present && !TerminatedWithin(text, kValues[v].cbField / 2))
                unterminated++;
        }
        // A stored text that fills its field loses its last unit to the terminator.
        expected.Pass[PASS_UNITS - 1] = 0;
        if (stored[3].present)
            expected.AppPass[APPPASS_UNITS - 1] = 0;

        int wrong = 0;
        wrong += rc != (stored[4].present ? 0 : -1);
        wrong += memcmp(expected.Pass, Settings.Pass, sizeof(Settings.Pass)) != 0;
        wrong += expected.PassEnable != Settings.PassEnable;
        wrong += expected.nTimeout != Settings.nTimeout;
        wrong += memcmp(expected.AppPass, Settings.AppPass, sizeof(Settings.AppPass)) != 0;
        wrong += expected.AppEnable != Settings.AppEnable;
        // The bytes of the record between its fields (alignment) and the
        // launch-path snapshot beside it are never LoadSettings' to write.
        for (size_t i = offsetof(SettingsRecord, Pass) + sizeof(Settings.Pass);
             i < offsetof(SettingsRecord, PassEnable); i++)
            wrong += ((BYTE*)&before)[i] != ((BYTE*)&Settings)[i];
        wrong += memcmp(launchBefore.data(), LaunchPath, sizeof(LaunchPath)) != 0;
        wrong += !TerminatedWithin(Settings.Pass, PASS_UNITS);
        // AppPass is only terminated by a load that read it.
        if (stored[3].present)
            wrong += !TerminatedWithin(Settings.AppPass, APPPASS_UNITS);
        if (wrong) {
            faults++;
            ADD_FAILURE() << "record differs from the cut read in " << wrong << " places";
            if (faults > 5)
                break;
        }
    }

    std::cout << "[ hardening ] LoadSettings: " << loads << " random registry contents ("
              << missingKeys << " without key, " << oversized << " values larger than their field, "
              << unterminated << " texts stored without terminator), " << faults << " faults"
              << std::endl;
    RecordProperty("attempts", loads);
    RecordProperty("faults", faults);
    EXPECT_EQ(kContents, loads);
    EXPECT_EQ(0, faults);
    EXPECT_GT(oversized, kContents / 4);
    EXPECT_GT(unterminated, kContents / 4);
}

TEST_F(HardeningSettings, FieldReaderNeverWritesPastItsFieldOrLeavesItHalfRead)
{
    Fuzz fuzz(0x6A12D5);
    const size_t kSlack = 64;
    int reads = 0, faults = 0;
    HKEY key = OpenForWriting();
    ASSERT_TRUE(key);
    HKEY reader;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, SETTINGS_KEY, 0, KEY_QUERY_VALUE,
                                           &reader));

    for (int attempt = 0; attempt < kContents; attempt++) {
        bool present = fuzz.Next(6) != 0;
        std::vector<BYTE> data = fuzz.Data();
        RegDeleteValueW(key, L"Probe");
        if (present) {
            ASSERT_EQ(ERROR_SUCCESS,
                      RegSetValueExW(key, L"Probe", 0, kTypes[fuzz.Next(sizeof(kTypes) / 4)],
                                     data.data(), (DWORD)data.size()));
        }
        // The store's three field sizes, and any other up to past the value.
        const DWORD fieldSizes[] = {4, 22, 200};
        DWORD cbField = fuzz.Next(2) ? fieldSizes[fuzz.Next(3)] : 1 + fuzz.Next(300);

        std::vector<BYTE> buf(kSlack + cbField + kSlack, kGuard);
        fuzz.Fill(buf.data() + kSlack, cbField);
        std::vector<BYTE> old(buf.begin() + kSlack, buf.begin() + kSlack + cbField);

        bool ok = RegReadField(reader, L"Probe", buf.data() + kSlack, cbField);
        reads++;

        int wrong = ok != present;
        for (size_t i = 0; i < kSlack; i++) {
            wrong += buf[i] != kGuard;
            wrong += buf[kSlack + cbField + i] != kGuard;
        }
        std::vector<BYTE> field(buf.begin() + kSlack, buf.begin() + kSlack + cbField);
        wrong += field != (present ? CutToField(data, cbField) : old);
        if (wrong) {
            faults++;
            ADD_FAILURE() << "attempt " << attempt << ": " << data.size() << " bytes into a "
                          << cbField << "-byte field, " << wrong << " bytes wrong";
            if (faults > 5)
                break;
        }
    }
    RegCloseKey(reader);
    RegCloseKey(key);

    std::cout << "[ hardening ] RegReadField: " << reads << " reads between guard bytes, "
              << faults << " faults" << std::endl;
    RecordProperty("attempts", reads);
    EXPECT_EQ(kContents, reads);
    EXPECT_EQ(0, faults);
}

}  // namespace
