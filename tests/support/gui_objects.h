// Counts of what a dialog can leave behind in this process, read from the
// platform's own books: GDI objects from the process's GDI handle table,
// USER objects as the windows of this thread, and busy bytes of the heap.
#ifndef BRONDELKIT_TESTS_GUI_OBJECTS_H
#define BRONDELKIT_TESTS_GUI_OBJECTS_H

#include <windows.h>

#include <string>

struct GuiObjects {
    long gdi = -1;          // live GDI objects; -1 when the table is unreadable
    long gdiByType[256] = {};  // the same by the table's type number
    long user = -1;         // windows of this thread, children included
    long long heap = -1;    // busy bytes of the process heap; -1 when unwalkable
    long gdiReported = 0;   // GetGuiResources, where the platform implements it
    long userReported = 0;
};

GuiObjects CountGuiObjects();
std::string Describe(const GuiObjects& g);
// The GDI types whose count changed, named where the type is known.
std::string Describe(const GuiObjects& before, const GuiObjects& after);

#endif
