#include "support/fake_network.h"

#include <cstring>

FakeNetwork g_fakeNet;

namespace {

ProbePlatform g_realPlatform;
bool g_realSaved;
void* g_allocated;
IP_ADDR_STRING g_second[16];

DWORD WINAPI FakeGetAdaptersInfo(PIP_ADAPTER_INFO buffer, PULONG size)
{
    FakeNetwork& n = g_fakeNet;
    ULONG needed = (ULONG)(n.adapters.size() * sizeof(IP_ADAPTER_INFO));
    if (!buffer) {
        n.sizeQueries++;
        *size = n.reportedSize < 0 ? needed : (ULONG)n.reportedSize;
        return n.sizeRc;
    }
    n.fetches++;
    n.fetchSize = *size;
    n.bufferWasZero = true;
    for (ULONG i = 0; i < *size; i++)
        n.bufferWasZero = n.bufferWasZero && ((BYTE*)buffer)[i] == 0;
    if (n.fetchRc != ERROR_SUCCESS)
        return n.fetchRc;
    if (*size < needed)
        return ERROR_BUFFER_OVERFLOW;
    for (size_t i = 0; i < n.adapters.size() && i < 16; i++) {
        IP_ADAPTER_INFO* a = &buffer[i];
        a->Next = i + 1 < n.adapters.size() ? &buffer[i + 1] : NULL;
        a->Type = n.adapters[i].type;
        strncpy(a->IpAddressList.IpAddress.String, n.adapters[i].firstAddress.c_str(), 15);
        if (!n.adapters[i].secondAddress.empty()) {
            memset(&g_second[i], 0, sizeof(g_second[i]));
            strncpy(g_second[i].IpAddress.String, n.adapters[i].secondAddress.c_str(), 15);
            a->IpAddressList.Next = &g_second[i];
        }
    }
    return ERROR_SUCCESS;
}

HLOCAL WINAPI FakeLocalAlloc(UINT flags, SIZE_T bytes)
{
    g_fakeNet.allocs++;
    g_fakeNet.allocFlags = flags;
    g_fakeNet.allocBytes = bytes;
    if (g_fakeNet.failAlloc)
        return NULL;
    g_allocated = LocalAlloc(flags, bytes);
    return g_allocated;
}

HLOCAL WINAPI FakeLocalFree(HLOCAL mem)
{
    g_fakeNet.frees++;
    g_fakeNet.freedWhatWasAllocated = mem == g_allocated;
    return LocalFree(mem);
}

// Behaves as Winsock does: a name that does not fit fails, buffer untouched.
int WSAAPI FakeGetHostName(char* name, int len)
{
    g_fakeNet.hostNameCalls++;
    g_fakeNet.hostNameBufferBytes = len;
    if ((int)g_fakeNet.hostName.size() + 1 > len)
        return SOCKET_ERROR;
    strcpy(name, g_fakeNet.hostName.c_str());
    return 0;
}

struct hostent* WSAAPI FakeGetHostByName(const char* name)
{
    static char* noAliases[] = {NULL};
    static char address[4] = {(char)192, 0, 2, 1};
    static char* addresses[] = {address, NULL};
    static struct hostent entry = {(char*)"fake", noAliases, AF_INET, 4, addresses};
    g_fakeNet.resolveCalls++;
    g_fakeNet.resolvedName = name;
    return g_fakeNet.resolves ? &entry : NULL;
}

}  // namespace

void InstallFakeNetwork()
{
    if (!g_realSaved) {
        g_realPlatform = g_probePlatform;
        g_realSaved = true;
    }
    g_fakeNet = FakeNetwork();
    g_allocated = NULL;
    g_probePlatform.getAdaptersInfo = FakeGetAdaptersInfo;
    g_probePlatform.localAlloc = FakeLocalAlloc;
    g_probePlatform.localFree = FakeLocalFree;
    g_probePlatform.getHostName = FakeGetHostName;
    g_probePlatform.getHostByName = FakeGetHostByName;
}

void RemoveFakeNetwork()
{
    if (g_realSaved)
        g_probePlatform = g_realPlatform;
}

void SetNetworkUsable(bool usable)
{
    g_fakeNet.adapters = {{6, usable ? "192.0.2.10" : "0.0.0.0"}};
}

int ProbeCalls()
{
    return g_fakeNet.sizeQueries;
}
