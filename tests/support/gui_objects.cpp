#include "support/gui_objects.h"

#include <winternl.h>

// GCC takes the TEB read through the segment register for an access past
// an empty array.
#pragma GCC diagnostic ignored "-Warray-bounds"

#include <cstddef>

#include <sstream>

namespace {

// One entry of the GDI handle table, as a 64-bit process sees it (24 bytes).
// A 32-bit process on a 64-bit system shares that table: its own PEB holds
// no pointer to it, the 64-bit PEB does.
struct GdiEntry64 {
    UINT64 object;
    ULONG owner;
    USHORT unique;
    BYTE type;
    BYTE flags;
    UINT64 user;
};
// The same on a 32-bit system, with pointer-sized ends (16 bytes).
struct GdiEntry32 {
    ULONG object;
    ULONG owner;
    USHORT unique;
    BYTE type;
    BYTE flags;
    ULONG user;
};

struct GdiTableView {
    const BYTE* table = nullptr;
    size_t stride = 0;      // bytes per entry
    size_t typeOffset = 0;  // of the type byte within an entry
    size_t entries = 0;
};

const BYTE* OwnPeb()
{
    typedef NTSTATUS(NTAPI * QueryProcess)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    QueryProcess query = (QueryProcess)(void*)GetProcAddress(GetModuleHandleW(L"ntdll.dll"),
                                                             "NtQueryInformationProcess");
    PROCESS_BASIC_INFORMATION pbi = {};
    if (!query || query(GetCurrentProcess(), ProcessBasicInformation, &pbi, sizeof(pbi), NULL) != 0)
        return nullptr;
    return (const BYTE*)pbi.PebBaseAddress;
}

const BYTE* TablePointer(size_t* stride, size_t* typeOffset)
{
    *stride = sizeof(GdiEntry64);
    *typeOffset = offsetof(GdiEntry64, type);
    const BYTE* peb = OwnPeb();
    if (!peb)
        return nullptr;
#ifdef _WIN64
    return *(const BYTE* const*)(peb + 0xF8);
#else
    // Under WOW64 the TEB's GdiBatchCount holds the 64-bit TEB; its PEB
    // (at 0x60) holds the table at 0xF8.
    ULONG teb64 = *(const ULONG*)((const BYTE*)NtCurrentTeb() + 0xF70);
    if (teb64) {
        ULONG peb64 = (ULONG)*(const UINT64*)(ULONG_PTR)(teb64 + 0x60);
        return peb64 ? (const BYTE*)(ULONG_PTR)*(const UINT64*)(ULONG_PTR)(peb64 + 0xF8)
                     : nullptr;
    }
    *stride = sizeof(GdiEntry32);
    *typeOffset = offsetof(GdiEntry32, type);
    return *(const BYTE* const*)(peb + 0x94);
#endif
}

GdiTableView GdiTable()
{
    GdiTableView v;
    const BYTE* table = TablePointer(&v.stride, &v.typeOffset);
    if (!table)
        return v;
    // Only as far as the mapping goes.
    MEMORY_BASIC_INFORMATION mbi;
    if (!VirtualQuery(table, &mbi, sizeof(mbi)) || mbi.State != MEM_COMMIT)
        return v;
    size_t bytes = (const BYTE*)mbi.BaseAddress + mbi.RegionSize - table;
    v.entries = bytes / v.stride;
    if (v.entries > 0x10000)
        v.entries = 0x10000;
    v.table = table;
    return v;
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
    GdiTableView v = GdiTable();
    if (v.table) {
        g.gdi = 0;
        for (size_t i = 0; i < v.entries; i++) {
            BYTE type = v.table[i * v.stride + v.typeOffset];
            g.gdi += type != 0;
            g.gdiByType[type]++;
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
