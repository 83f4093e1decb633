// A network made up by the test, put behind the readiness probe's
// platform seam: adapter chains, host-name answers, and a record of how
// the probe used them.
#ifndef BRONDELKIT_TESTS_FAKE_NETWORK_H
#define BRONDELKIT_TESTS_FAKE_NETWORK_H

#include <string>
#include <vector>

#include "lock/probe.h"

struct FakeAdapter {
    UINT type;
    std::string firstAddress;
    std::string secondAddress;              // empty: only one address
    FakeAdapter(UINT t, const char* first, const char* second = "")
        : type(t), firstAddress(first), secondAddress(second) {}
};

struct FakeNetwork {
    // What the platform answers.
    DWORD sizeRc = ERROR_BUFFER_OVERFLOW;
    long reportedSize = -1;                 // -1: room for the adapters
    DWORD fetchRc = ERROR_SUCCESS;
    bool failAlloc = false;
    std::vector<FakeAdapter> adapters;
    std::string hostName = "handheld-terminal";
    bool resolves = true;

    // What the probe did.
    int sizeQueries = 0, fetches = 0, allocs = 0, frees = 0;
    int hostNameCalls = 0, resolveCalls = 0;
    UINT allocFlags = 0;
    SIZE_T allocBytes = 0;
    ULONG fetchSize = 0;
    bool bufferWasZero = false;
    bool freedWhatWasAllocated = false;
    int hostNameBufferBytes = 0;
    std::string resolvedName;
};

extern FakeNetwork g_fakeNet;

// Puts a fresh g_fakeNet behind the probe / gives the probe the real calls back.
void InstallFakeNetwork();
void RemoveFakeNetwork();
// Shortcut for the lock screen's tests: one Ethernet adapter with an
// address when usable, with 0.0.0.0 when not; the host name never fits.
void SetNetworkUsable(bool usable);
// Number of times the probe has reached the adapter list.
int ProbeCalls();

#endif
