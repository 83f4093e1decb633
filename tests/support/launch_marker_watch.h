// Watching tests/helpers/launch_marker.exe: where it is, a fresh marker
// file for it to write, and a wait until every started copy ended.
#ifndef BRONDELKIT_TESTS_LAUNCH_MARKER_WATCH_H
#define BRONDELKIT_TESTS_LAUNCH_MARKER_WATCH_H

#include <windows.h>

#include <string>

// Full Windows path of a helper exe built next to the test exe.
std::wstring HelperExePath(const wchar_t* exeName);

// Points BK_MARKER (inherited by started processes) at a new, absent file.
std::wstring UseFreshMarkerFile();

// Waits until no launch_marker.exe of this Wine session runs any more;
// false when one still runs once the session stopped working
// (tools/patience.h).
bool WaitForLaunchMarkers();

// Lines the helpers wrote into the current marker file (0 when absent).
int MarkerLines();

#endif
