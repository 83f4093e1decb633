#include <gtest/gtest.h>

#include "shell/shell.h"

int main(int argc, char** argv)
{
    // The tests carry the program's own resources in their executable.
    g_hInstance = GetModuleHandleW(NULL);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
