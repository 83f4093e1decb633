// Scratch state for the settings key: every test starts with no key, and
// can write or read stored values byte for byte. Built for the same
// architecture as the program under test, so it works in the registry view
// that program sees.
#ifndef BRONDELKIT_TESTS_SCRATCH_REGISTRY_H
#define BRONDELKIT_TESTS_SCRATCH_REGISTRY_H

#include <windows.h>

#include <string>
#include <vector>

void DeleteSettingsKey();
void PutValue(const wchar_t* name, DWORD type, const void* data, DWORD cb);
void PutDword(const wchar_t* name, DWORD value);
void PutText(const wchar_t* name, const std::wstring& text);  // with terminator
bool GetValue(const wchar_t* name, DWORD* type, std::vector<BYTE>* data);
// The five values stored as a normal saved record would hold them.
void PutRecord(const std::wstring& pass, DWORD passEnable, DWORD timeout,
               const std::wstring& appPass, DWORD appEnable);
// Resets the in-memory record and launch path to the zeros of process start.
void ClearSettingsRecord();

#endif
