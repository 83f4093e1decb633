#include "support/gui_objects.h"

#include <winternl.h>

#include <sstream>

namespace {

// One entry of the GDI handle table that the PEB points to; the layout is
// the platform's (pointer-sized ends, so 24 bytes on x86_64, 16 on i686).
struct GdiEntry {
    void* object;
    ULONG owner;
    USHORT unique;
    BYTE type;
    BYTE flags;
    void* user;
};

const GdiEntry* GdiTable(size_t* entries)
{
#ifdef _WIN64
    const size_t kOffset = 0xF8;
#else
    const size_t kOffset = 0x94;
#endif
    typedef NTSTATUS(NTAPI * QueryProcess)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    QueryProcess query = (QueryProcess)(void*)GetProcAddress(GetModuleHandleW(L"ntdll.dll"),
                                                             "NtQueryInformationProcess");
    PROCESS_BASIC_INFORMATION pbi = {};
    if (!query || query(GetCurrentProcess(), ProcessBasicInformation, &pbi, sizeof(pbi), NULL) != 0)
        return nullptr;
    BYTE* peb = (BYTE*)pbi.PebBaseAddress;
    const GdiEntry* table = *(const GdiEntry**)(peb + kOffset);
    if (!table)
        return nullptr;
    // Only as far as the mapping goes.
    MEMORY_BASIC_INFORMATION mbi;
    if (!VirtualQuery(table, &mbi, sizeof(mbi)) || mbi.State != MEM_COMMIT)
        return nullptr;
    size_t bytes = (BYTE*)mbi.BaseAddress + mbi.RegionSize - (BYTE*)table;
    *entries = bytes / sizeof(GdiEntry);
    if (*entries > 0x10000)
        *entries = 0x10000;
    return table;
}

BOOL CALLBACK CountChild(HWND, LPARAM lp)
{
    ++*(long*)lp;
    return TRUE;
}

BOOL CALLBACK CountTop(HWND h, LPARAM lp)
{
    ++*(long*)lp;
    EnumChildWindows(h, CountChild, lp);
    return TRUE;
}

}  // namespace

GuiObjects CountGuiObjects()
{
    GuiObjects g;
    size_t entries = 0;
    if (const GdiEntry* table = GdiTable(&entries)) {
        g.gdi = 0;
        for (size_t i = 0; i < entries; i++) {
            g.gdi += table[i].type != 0;
            g.gdiByType[table[i].type]++;
        }
    }
    g.user = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountTop, (LPARAM)&g.user);

    HANDLE heap = GetProcessHeap();
    if (HeapLock(heap)) {
        PROCESS_HEAP_ENTRY e = {};
        long long busy = 0;
        bool walked = false;
        while (HeapWalk(heap, &e)) {
            walked = true;
            if (e.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                busy += e.cbData;
        }
        HeapUnlock(heap);
        if (walked && GetLastError() == ERROR_NO_MORE_ITEMS)
            g.heap = busy;
    }
    g.gdiReported = (long)GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    g.userReported = (long)GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    return g;
}

std::string Describe(const GuiObjects& g)
{
    std::ostringstream s;
    s << g.gdi << " GDI objects, " << g.user << " windows, " << g.heap << " heap bytes";
    if (g.gdiReported || g.userReported)
        s << " (platform reports " << g.gdiReported << " GDI, " << g.userReported << " USER)";
    return s.str();
}

std::string Describe(const GuiObjects& before, const GuiObjects& after)
{
    // Type numbers of the table as Wine fills it.
    auto name = [](int type) -> std::string {
        switch (type) {
        case 0x01: return "DC";
        case 0x04: return "region";
        case 0x08: return "palette";
        case 0x09: return "bitmap";
        case 0x0a: return "font";
        case 0x10: return "brush";
        case 0x30: return "pen";
        default: return "type " + std::to_string(type);
        }
    };
    std::ostringstream s;
    for (int t = 1; t < 256; t++)
        if (before.gdiByType[t] != after.gdiByType[t])
            s << (s.tellp() ? ", " : "") << name(t) << " " << before.gdiByType[t] << " -> "
              << after.gdiByType[t];
    return s.str();
}
