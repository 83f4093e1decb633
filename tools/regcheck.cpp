// Reads a fleet's provisioning file as a device will: imported by the
// platform's regedit, then the program's key read by the program's own
// settings store (src/settings, linked in), so that what it reports is what
// the program does. Run in a prefix of its own (scripts/check-reg.sh).
//   regcheck.exe import FILE.reg   a device fresh from its box, then FILE
//   regcheck.exe check FILE.reg    the record the device will use, value by
//                                  value, and one line per finding
//   regcheck.exe held Pass|first-run   the password the record holds, or
//                                  whether the start is a first run (1/0)
//   regcheck.exe record            for tools: each of the program's values
//                                  the key holds, as its store reads it back,
//                                  one a line: NAME<TAB>dword|sz<TAB>VALUE
// FILE is read as a device reads it: UTF-16LE after its byte-order mark,
// anything else (REGEDIT4) in the device's ANSI code page, 932; Wine's
// regedit reads it in the code page of the locale it runs in, which import
// requires to be that one. check exits 0 when the program takes the file as
// written, 1 with findings, 2 when the file or the key is not usable (the
// reason on one line).
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "lock/lockdlg.h"
#include "regedit.h"
#include "settings/settings.h"

namespace {

const wchar_t kProgramKey[] = L"HKEY_LOCAL_MACHINE\\" SETTINGS_KEY;
// What the resident window stores when it finds no settings.
const wchar_t kFirstRunApp[] = FIRST_RUN_APP_PATH;
const wchar_t* const kNames[] = {L"Pass", L"PassEnable", L"nTimeout", L"AppPass", L"AppEnable"};
const UINT kDeviceCodePage = 932;  // Shift_JIS, a Japanese device's ANSI code page

void Out(const std::wstring& line)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), (int)line.size(), NULL, 0, NULL, NULL);
    std::string bytes(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), (int)line.size(), &bytes[0], n, NULL, NULL);
    bytes += '\n';
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

std::wstring Num(unsigned long long n)
{
    return std::to_wstring(n);
}

std::wstring Quote(const std::wstring& text)
{
    std::wstring q = L"\"";
    for (wchar_t c : text) {
        if (c < 0x20 || c == 0x7f) {
            wchar_t esc[8];
            swprintf(esc, 8, L"\\x%02X", (unsigned)c);
            q += esc;
        } else {
            q += c;
        }
    }
    return q + L"\"";
}

// --- The file: which keys and value names it sets ---------------------------

struct FileValue {
    std::wstring name;
    bool beyondAscii;  // its line holds more than ASCII
};

struct FileKey {
    std::wstring name;
    std::vector<FileValue> values;
};

std::wstring Trim(const std::wstring& s)
{
    size_t b = s.find_first_not_of(L" \t\r"), e = s.find_last_not_of(L" \t\r");
    return b == std::wstring::npos ? L"" : s.substr(b, e - b + 1);
}

// The value name that a line sets; false for a line that sets none
// (comment, continuation, deletion).
bool ValueName(const std::wstring& line, std::wstring* name)
{
    size_t i = 0;
    name->clear();
    if (line.compare(0, 1, L"@") == 0) {
        i = 1;
    } else if (line.compare(0, 1, L"\"") == 0) {
        for (i = 1; i < line.size() && line[i] != L'"'; i++) {
            if (line[i] == L'\\' && i + 1 < line.size())
                i++;
            *name += line[i];
        }
        if (i++ >= line.size())
            return false;
    } else {
        return false;
    }
    i = line.find_first_not_of(L" \t", i);
    if (i == std::wstring::npos || line[i] != L'=')
        return false;
    i = line.find_first_not_of(L" \t", i + 1);
    return i != std::wstring::npos && line[i] != L'-';
}

std::vector<FileKey> ParseKeys(const std::wstring& text)
{
    std::vector<FileKey> keys;
    size_t current = 0;  // 1 + the index of the key the lines belong to
    size_t at = 0;
    while (at <= text.size()) {
        size_t end = text.find(L'\n', at);
        if (end == std::wstring::npos)
            end = text.size();
        std::wstring line = Trim(text.substr(at, end - at));
        at = end + 1;
        std::wstring name;
        if (line.compare(0, 1, L"[") == 0 && line.find(L']') != std::wstring::npos) {
            current = 0;
            name = Trim(line.substr(1, line.rfind(L']') - 1));
            if (name.compare(0, 1, L"-") == 0)
                continue;  // a deletion sets nothing
            for (size_t i = 0; i < keys.size(); i++)
                if (_wcsicmp(keys[i].name.c_str(), name.c_str()) == 0)
                    current = i + 1;
            if (!current) {
                keys.push_back(FileKey{name, {}});
                current = keys.size();
            }
        } else if (current && ValueName(line, &name)) {
            bool beyond = false;
            for (wchar_t c : line)
                beyond = beyond || c > 0x7f;
            keys[current - 1].values.push_back(FileValue{name, beyond});
        }
    }
    return keys;
}

// The file's text as a device reads it.
struct FileText {
    std::wstring text;
    bool cp932Text = true;  // every byte a character of code page 932
    bool utf8 = false;      // UTF-8 with more than ASCII in it
};

bool Decode(UINT codePage, DWORD flags, const std::vector<char>& bytes, std::wstring* text)
{
    int n = MultiByteToWideChar(codePage, flags, bytes.data(), (int)bytes.size(), NULL, 0);
    text->assign(n > 0 ? n : 0, L'\0');
    return n > 0 && MultiByteToWideChar(codePage, flags, bytes.data(), (int)bytes.size(), &(*text)[0], n) == n;
}

bool ReadFileText(const wchar_t* path, FileText* file)
{
    HANDLE f = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD size = GetFileSize(f, NULL);
    std::vector<char> bytes(size == INVALID_FILE_SIZE ? 0 : size);
    DWORD got = 0;
    bool ok = !bytes.empty() && ReadFile(f, bytes.data(), (DWORD)bytes.size(), &got, NULL);
    CloseHandle(f);
    if (!ok)
        return false;
    bytes.resize(got);
    if (got >= 2 && (unsigned char)bytes[0] == 0xFF && (unsigned char)bytes[1] == 0xFE) {
        file->text.assign((const wchar_t*)(bytes.data() + 2), (got - 2) / 2);
        return true;
    }
    std::wstring unused;
    bool ascii = true;
    for (char c : bytes)
        ascii = ascii && (unsigned char)c < 0x80;
    file->utf8 = !ascii && Decode(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, &unused);
    file->cp932Text = Decode(kDeviceCodePage, MB_ERR_INVALID_CHARS, bytes, &unused);
    return Decode(kDeviceCodePage, 0, bytes, &file->text);
}

// --- The registry: what regedit wrote -----------------------------------

struct Raw {
    bool present = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

Raw ReadRaw(HKEY key, const wchar_t* name)
{
    Raw r;
    DWORD cb = 0;
    if (RegQueryValueExW(key, name, NULL, &r.type, NULL, &cb) != ERROR_SUCCESS)
        return r;
    r.data.resize(cb + 2);
    if (RegQueryValueExW(key, name, NULL, &r.type, r.data.data(), &cb) == ERROR_SUCCESS) {
        r.data.resize(cb);
        r.present = true;
    }
    return r;
}

// The bytes as a reader of the key sees a text: up to the first terminator.
std::wstring TextOf(const std::vector<BYTE>& d)
{
    std::wstring t;
    for (size_t i = 0; i + 1 < d.size(); i += 2) {
        wchar_t c = (wchar_t)(d[i] | d[i + 1] << 8);
        if (!c)
            break;
        t += c;
    }
    return t;
}

std::wstring TypeName(DWORD type)
{
    static const wchar_t* const names[] = {
        L"REG_NONE", L"REG_SZ", L"REG_EXPAND_SZ", L"REG_BINARY", L"REG_DWORD",
        L"REG_DWORD_BIG_ENDIAN", L"REG_LINK", L"REG_MULTI_SZ", L"REG_RESOURCE_LIST",
        L"REG_FULL_RESOURCE_DESCRIPTOR", L"REG_RESOURCE_REQUIREMENTS_LIST", L"REG_QWORD"};
    return type < sizeof(names) / sizeof(names[0]) ? names[type] : L"type " + Num(type);
}

std::wstring AsWritten(const Raw& r)
{
    if (r.type == REG_SZ || r.type == REG_EXPAND_SZ || r.type == REG_MULTI_SZ)
        return TypeName(r.type) + L" " + Quote(TextOf(r.data));
    if (r.type == REG_DWORD && r.data.size() == 4)
        return L"REG_DWORD " + Num(*(const DWORD*)r.data.data());
    return TypeName(r.type) + L" of " + Num(r.data.size()) + L" bytes";
}

// --- What the device will do ------------------------------------------------

std::vector<std::wstring> findings;

void Finding(const std::wstring& value, const std::wstring& text)
{
    findings.push_back(value + L": " + text);
}

std::wstring Duration(UINT ms)
{
    wchar_t buf[64];
    if (ms < 120000)
        swprintf(buf, 64, L"%u seconds", ms / 1000);
    else if (ms < 2 * 86400000u)
        swprintf(buf, 64, L"about %.1f hours", ms / 3600000.0);
    else
        swprintf(buf, 64, L"about %.1f days", ms / 86400000.0);
    return buf;
}

void CheckNumber(const wchar_t* name, const Raw& r, DWORD held)
{
    if (!r.present || r.type == REG_DWORD)
        return;
    std::wstring part = r.data.size() > 4   ? L" (the first 4 of its " + Num(r.data.size()) + L" bytes)"
                        : r.data.size() < 4 ? L" (its " + Num(r.data.size()) + L" bytes, the rest zero)"
                                            : L"";
    Finding(name, AsWritten(r) + L" where the program expects REG_DWORD: it reads the bytes" + part +
                      L" as the number " + Num(held));
}

void CheckText(const wchar_t* name, const Raw& r, const WCHAR* held, DWORD units)
{
    if (!r.present)
        return;
    if (r.type != REG_SZ)
        Finding(name, AsWritten(r) + L" where the program expects REG_SZ: it reads the bytes as the text " +
                          Quote(held));
    else if (TextOf(r.data) != held)
        Finding(name, Quote(TextOf(r.data)) + L" has " + Num(TextOf(r.data).size()) +
                          L" characters; the program keeps " + Num(units - 1) + L": " + Quote(held));
}

void CheckTimeout(DWORD seconds)
{
    if (seconds >= 10 && seconds <= 60)
        return;
    UINT ms = TimeoutPeriod(seconds);
    std::wstring wait = seconds == 0 ? L"gives up on the wireless LAN at once"
                                     : L"waits " + Duration(ms) + L" for the wireless LAN";
    if ((ULONGLONG)seconds * 1000 > ms)
        wait += L" (the longest a timer waits)";
    Finding(L"nTimeout", Num(seconds) + L" is outside the 10 to 60 seconds the settings dialog offers; "
                         L"the lock screen takes it as it stands and " + wait);
}

bool IsProgramKey(const std::wstring& name)
{
    return _wcsicmp(name.c_str(), kProgramKey) == 0;
}

bool IsReadName(const std::wstring& name)
{
    for (const wchar_t* n : kNames)
        if (_wcsicmp(name.c_str(), n) == 0)
            return true;
    return false;
}

std::wstring ValueLabel(const std::wstring& name)
{
    return name.empty() ? L"@ (the key's default value)" : name;
}

// Lines of the file that set a value regedit did not write, lines of a UTF-8
// file whose text a device reads otherwise, and values the program does not
// read, under its key and under any other.
void CheckNames(HKEY key, const std::vector<FileKey>& keys, bool utf8)
{
    for (const FileKey& k : keys) {
        if (!IsProgramKey(k.name)) {
            if (k.values.empty())
                continue;  // a key alone changes nothing the program sees
            std::wstring list;
            for (const FileValue& v : k.values)
                list += (list.empty() ? L"" : L", ") + ValueLabel(v.name);
            Finding(L"[" + k.name + L"]", L"not the program's key (" + std::wstring(kProgramKey) +
                                              L"): it never reads " + list);
            continue;
        }
        std::vector<std::wstring> seen;
        for (const FileValue& v : k.values) {
            bool again = false;
            for (const std::wstring& s : seen)
                again = again || _wcsicmp(s.c_str(), v.name.c_str()) == 0;
            seen.push_back(v.name);
            if (again)
                continue;
            Raw r = ReadRaw(key, v.name.c_str());
            if (!r.present)
                Finding(ValueLabel(v.name), L"its line in the file was not imported (regedit skips a line it "
                                            L"cannot read): the device has no " + ValueLabel(v.name));
            else if (utf8 && v.beyondAscii)
                Finding(ValueLabel(v.name), L"the file is UTF-8, but a device reads a REGEDIT4 file in code page "
                                            L"932 (Shift_JIS): it reads " + AsWritten(r) +
                                            L" (save the file as Shift_JIS, or as UTF-16LE for regedit 5)");
        }
    }
    wchar_t name[16384];
    for (DWORD i = 0;; i++) {
        DWORD cch = sizeof(name) / sizeof(name[0]);
        if (RegEnumValueW(key, i, name, &cch, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        if (!IsReadName(name))
            Finding(ValueLabel(name), L"a value the program does not read (it reads only Pass, PassEnable, "
                                      L"nTimeout, AppPass and AppEnable)");
    }
}

// The record as the program holds it after its start: read by its own
// store, with the first run's values when that store reports none.
bool LoadRecord()
{
    if (LoadSettings() == 0)
        return false;
    lstrcpynW(Settings.AppPass, kFirstRunApp, APPPASS_UNITS);
    Settings.AppEnable = 1;
    return true;
}

void PrintRecord(const Raw* raw, bool firstRun)
{
    std::wstring shown[] = {Quote(Settings.Pass), Num(Settings.PassEnable), Num(Settings.nTimeout),
                            Quote(Settings.AppPass), Num(Settings.AppEnable)};
    for (int i = 0; i < 5; i++) {
        std::wstring line = L"  " + std::wstring(kNames[i]);
        line.resize(14, L' ');
        line += shown[i];
        if (firstRun && (i == 3 || i == 4))
            line += L"   (stored by the first run)";
        else if (!raw[i].present)
            line += L"   (not in the file)";
        Out(line);
    }
}

int Check(const wchar_t* file)
{
    FileText text;
    if (!ReadFileText(file, &text)) {
        Out(L"cannot be read");
        return 2;
    }
    if (!text.cp932Text && !text.utf8) {
        Out(L"not text in code page 932 (Shift_JIS), in which a device reads a REGEDIT4 file");
        return 2;
    }
    std::vector<FileKey> keys = ParseKeys(text.text);
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, SETTINGS_KEY, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        std::wstring named;
        for (const FileKey& k : keys)
            named += (named.empty() ? L"" : L", ") + (L"[" + k.name + L"]");
        Out(L"regedit wrote nothing for " + std::wstring(kProgramKey) + L" (" +
            (named.empty() ? L"the file names no key" : L"the file names " + named) + L")");
        return 2;
    }
    Raw raw[5];
    for (int i = 0; i < 5; i++)
        raw[i] = ReadRaw(key, kNames[i]);
    std::wstring fileAppPass = TextOf(raw[3].data);
    bool firstRun = LoadRecord();

    CheckText(L"Pass", raw[0], Settings.Pass, PASS_UNITS);
    CheckNumber(L"PassEnable", raw[1], Settings.PassEnable);
    CheckNumber(L"nTimeout", raw[2], Settings.nTimeout);
    CheckTimeout(Settings.nTimeout);
    if (firstRun) {
        Finding(L"AppEnable", L"missing: every device takes its start for a first run: it opens the settings "
                              L"dialog first and stores AppPass " + Quote(kFirstRunApp) +
                              (fileAppPass.empty() ? L"" : L" over the file's " + Quote(fileAppPass)) +
                              L" and AppEnable 1");
    } else {
        CheckText(L"AppPass", raw[3], Settings.AppPass, APPPASS_UNITS);
        CheckNumber(L"AppEnable", raw[4], Settings.AppEnable);
    }
    if (Settings.PassEnable == 0 && Settings.Pass[0])
        Finding(L"PassEnable", L"0 with a Pass: the lock screen asks for the password with its field hidden; "
                               L"it can only be typed blind");
    if (Settings.AppEnable != 1)
        Finding(L"AppEnable", Num(Settings.AppEnable) + L": the lock screen starts no application (only 1 "
                                                         L"starts AppPass)");
    else if (!Settings.AppPass[0])
        Finding(L"AppPass", L"empty with AppEnable 1: passing the lock screen starts nothing");
    CheckNames(key, keys, text.utf8);
    RegCloseKey(key);

    PrintRecord(raw, firstRun);
    for (const std::wstring& f : findings)
        Out(L"finding: " + f);
    Out(findings.empty() ? L"no findings: the program takes the file as written"
                         : Num(findings.size()) + (findings.size() == 1 ? L" finding" : L" findings"));
    return findings.empty() ? 0 : 1;
}

int Import(const wchar_t* file)
{
    // A device fresh from its box has no settings; the scratch copy of a
    // used prefix might.
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, SETTINGS_KEY);
    if (GetACP() != kDeviceCodePage) {
        std::fprintf(stderr, "regcheck: Wine runs in code page %u here, not the device's %u, and its regedit "
                             "would read a REGEDIT4 file unlike a device (scripts/deps.sh makes the locale "
                             "ja_JP.UTF-8 that gives it)\n", GetACP(), kDeviceCodePage);
        return 1;
    }
    DWORD code = 1;
    if (!RunRegedit(file, &code)) {
        std::fprintf(stderr, "regcheck: regedit did not run to its end (%lu)\n", GetLastError());
        return 1;
    }
    return 0;
}

// What the preview of a provisioned device needs to know of the record.
int Held(const std::wstring& name)
{
    bool firstRun = LoadRecord();
    if (name == L"first-run")
        Out(firstRun ? L"1" : L"0");
    else if (name == L"Pass")
        Out(Settings.Pass);
    else
        return 2;
    return 0;
}

// The values the key holds, each as the program's store reads it into the
// record (a text up to its terminator, a number as its 4 bytes), so that a
// tool can write them again in another form that a device reads alike.
int Record()
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, SETTINGS_KEY, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return 2;
    bool present[5];
    for (int i = 0; i < 5; i++)
        present[i] = ReadRaw(key, kNames[i]).present;
    RegCloseKey(key);
    LoadSettings();
    const std::wstring held[] = {Settings.Pass, Num(Settings.PassEnable), Num(Settings.nTimeout),
                                 Settings.AppPass, Num(Settings.AppEnable)};
    for (int i = 0; i < 5; i++) {
        bool text = i == 0 || i == 3;
        if (present[i])
            Out(std::wstring(kNames[i]) + (text ? L"\tsz\t" : L"\tdword\t") + held[i]);
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    _setmode(_fileno(stdout), _O_BINARY);  // UTF-8 and \n as they are
    std::wstring cmd = argc == 3 ? argv[1] : L"";
    if (cmd == L"import")
        return Import(argv[2]);
    if (cmd == L"check")
        return Check(argv[2]);
    if (cmd == L"held" && Held(argv[2]) == 0)
        return 0;
    if (argc == 2 && std::wstring(argv[1]) == L"record")
        return Record();
    std::fprintf(stderr, "usage: regcheck.exe import FILE.reg | check FILE.reg | held NAME | record\n");
    return 3;
}
