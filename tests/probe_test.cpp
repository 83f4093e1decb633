// The readiness probe's rules, fed through its platform seam with adapter
// chains and host-name answers no machine would give on demand.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "lock/probe.h"
#include "support/fake_network.h"

namespace {

class Probe : public testing::Test {
protected:
    void SetUp() override { InstallFakeNetwork(); }
    void TearDown() override { RemoveFakeNetwork(); }
};

TEST_F(Probe, EarlyReturnsNeverTryTheHostName)
{
    g_fakeNet.hostName = "dev";             // would resolve
    g_fakeNet.adapters = {{6, "192.168.0.10"}};

    g_fakeNet.sizeRc = ERROR_NO_DATA;       // no adapters at all
    EXPECT_EQ(-1, ProbeWirelessLan());
    g_fakeNet.sizeRc = ERROR_SUCCESS;       // anything but 111
    EXPECT_EQ(-1, ProbeWirelessLan());
    g_fakeNet.sizeRc = ERROR_BUFFER_OVERFLOW;
    g_fakeNet.reportedSize = 0;             // 111, but nothing to fetch
    EXPECT_EQ(-1, ProbeWirelessLan());
    EXPECT_EQ(0, g_fakeNet.allocs);

    g_fakeNet.reportedSize = -1;
    g_fakeNet.failAlloc = true;
    EXPECT_EQ(-1, ProbeWirelessLan());
    EXPECT_EQ(1, g_fakeNet.allocs);
    EXPECT_EQ(0, g_fakeNet.fetches);

    g_fakeNet.failAlloc = false;
    g_fakeNet.fetchRc = ERROR_NOT_SUPPORTED;
    EXPECT_EQ(-1, ProbeWirelessLan());
    EXPECT_EQ(1, g_fakeNet.fetches);
    EXPECT_EQ(1, g_fakeNet.frees) << "the buffer of a failed fetch is freed";

    EXPECT_EQ(0, g_fakeNet.hostNameCalls);
    EXPECT_EQ(0, g_fakeNet.resolveCalls);
}

TEST_F(Probe, BufferIsZeroFilledOfTheReportedSizeAndFreedOnce)
{
    g_fakeNet.adapters = {{6, "0.0.0.0"}, {6, "0.0.0.0"}};
    g_fakeNet.reportedSize = 3 * sizeof(IP_ADAPTER_INFO) + 5;
    EXPECT_EQ(-1, ProbeWirelessLan());
    EXPECT_EQ(1, g_fakeNet.allocs);
    EXPECT_EQ((UINT)LPTR, g_fakeNet.allocFlags);
    EXPECT_EQ(3 * sizeof(IP_ADAPTER_INFO) + 5, g_fakeNet.allocBytes);
    EXPECT_EQ(g_fakeNet.allocBytes, g_fakeNet.fetchSize);
    EXPECT_TRUE(g_fakeNet.bufferWasZero);
    EXPECT_EQ(1, g_fakeNet.frees);
    EXPECT_TRUE(g_fakeNet.freedWhatWasAllocated);
}

TEST_F(Probe, OnlyTheNineteenAcceptedTypesCount)
{
    const std::vector<UINT> accepted = {1,  2,  5,  6,  10, 11, 12, 13, 14, 15,
                                        20, 30, 31, 32, 40, 41, 42, 50, 60};
    for (UINT type = 0; type <= 80; type++) {
        g_fakeNet.adapters = {{type, "192.168.0.10"}};
        bool in = std::find(accepted.begin(), accepted.end(), type) != accepted.end();
        EXPECT_EQ(in ? 0 : -1, ProbeWirelessLan()) << "type " << type;
    }
    // Skipped records do not end the walk.
    g_fakeNet.adapters = {{24, "127.0.0.1"}, {23, "10.0.0.1"}, {15, "10.0.0.2"}};
    EXPECT_EQ(0, ProbeWirelessLan());
    g_fakeNet.adapters = {{24, "127.0.0.1"}, {9, "10.0.0.1"}, {28, "10.0.0.2"}};
    EXPECT_EQ(-1, ProbeWirelessLan());
}

TEST_F(Probe, OnlyTheFirstAddressIsComparedWholeWithUnassigned)
{
    g_fakeNet.adapters = {{6, "0.0.0.0", "192.168.0.10"}};
    EXPECT_EQ(-1, ProbeWirelessLan());
    g_fakeNet.adapters = {{6, "0.0.0.0"}, {71, "0.0.0.0"}, {6, "0.0.0.0"}};
    EXPECT_EQ(-1, ProbeWirelessLan());
    // Compared up to the terminator: a longer text is an address.
    g_fakeNet.adapters = {{6, "0.0.0.00"}};
    EXPECT_EQ(0, ProbeWirelessLan());
    g_fakeNet.adapters = {{6, "0.0.0"}};
    EXPECT_EQ(0, ProbeWirelessLan());
    g_fakeNet.adapters = {{6, "0.0.0.0"}, {1, "192.0.2.1"}};
    EXPECT_EQ(0, ProbeWirelessLan());
}

TEST_F(Probe, HostNameIsAskedWhateverTheWalkGaveWithEightBytes)
{
    g_fakeNet.adapters = {{6, "0.0.0.0"}};
    g_fakeNet.hostName = "handy";
    EXPECT_EQ(0, ProbeWirelessLan()) << "a resolving name overrides a failed walk";
    EXPECT_EQ(8, g_fakeNet.hostNameBufferBytes);
    EXPECT_EQ("handy", g_fakeNet.resolvedName);

    g_fakeNet.resolves = false;
    EXPECT_EQ(-1, ProbeWirelessLan());

    g_fakeNet.resolves = true;
    g_fakeNet.hostName = "handy-01";        // 8 characters do not fit
    EXPECT_EQ(-1, ProbeWirelessLan());
    g_fakeNet.hostName = "1234567";
    EXPECT_EQ(0, ProbeWirelessLan());

    int before = g_fakeNet.hostNameCalls;
    g_fakeNet.adapters = {{6, "192.168.0.10"}};
    g_fakeNet.resolves = false;
    EXPECT_EQ(0, ProbeWirelessLan()) << "a failed lookup keeps the walk's result";
    EXPECT_EQ(before + 1, g_fakeNet.hostNameCalls);
    EXPECT_EQ(g_fakeNet.allocs, g_fakeNet.frees);
}

}  // namespace
