# Tests run under Wine (its 64- or 32-bit side, as the build) on the virtual
# display that scripts/test.sh starts. Their waits give up on their own once
# the session stops working (tools/patience.h); ctest's bound only ends a
# run that hangs, far beyond what a busy machine takes.
set(BK_HANG_SECONDS 1800)
enable_testing()
include(GoogleTest)

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-exec.sh)

add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# In-process tests: the real code, the real resources, the real registry.
file(GLOB TEST_SOURCES CONFIGURE_DEPENDS tests/*_test.cpp tests/support/*.cpp)
add_executable(brondelkit_tests ${TEST_SOURCES} ${RESOURCE_SCRIPT})
target_include_directories(brondelkit_tests PRIVATE tests tools)
target_compile_options(brondelkit_tests PRIVATE -Wall -Wextra -Werror)
target_link_libraries(brondelkit_tests PRIVATE brondelcore gtest gdi32 comctl32)
target_link_options(brondelkit_tests PRIVATE -static)
gtest_discover_tests(brondelkit_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT ${BK_HANG_SECONDS}
                     PROPERTIES TIMEOUT ${BK_HANG_SECONDS})

# Small programs the tests start: each tests/helpers/NAME.cpp becomes NAME.exe.
file(GLOB HELPER_SOURCES CONFIGURE_DEPENDS tests/helpers/*.cpp)
foreach(src ${HELPER_SOURCES})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_include_directories(${name} PRIVATE tests src)
  target_compile_definitions(${name} PRIVATE UNICODE _UNICODE)
  target_compile_options(${name} PRIVATE -Wall -Wextra -Werror)
  target_link_libraries(${name} PRIVATE brondelcore gdi32)
  target_link_options(${name} PRIVATE -static)
  add_dependencies(brondelkit_tests ${name})
endforeach()

# Tests that drive processes, namespaces or the built files from the shell:
# each tests/sh/NAME.sh is the test sh.NAME.
file(GLOB SHELL_TESTS CONFIGURE_DEPENDS tests/sh/*.sh)
foreach(script ${SHELL_TESTS})
  get_filename_component(name ${script} NAME_WE)
  add_test(NAME sh.${name} COMMAND bash ${script})
  set_tests_properties(sh.${name} PROPERTIES TIMEOUT ${BK_HANG_SECONDS}
    ENVIRONMENT "BK_ROOT=${CMAKE_SOURCE_DIR};BK_BUILD=${CMAKE_BINARY_DIR}")
endforeach()

# End-to-end driver of the real exe; run by tests/sh/e2e_program.sh inside a
# network namespace, not by ctest directly.
file(GLOB E2E_SOURCES CONFIGURE_DEPENDS tests/e2e/*.cpp)
add_executable(brondelkit_e2e ${E2E_SOURCES} tests/support/dialog_driver.cpp
               tests/support/scratch_registry.cpp tests/support/launch_marker_watch.cpp)
target_include_directories(brondelkit_e2e PRIVATE tests tools)
target_compile_options(brondelkit_e2e PRIVATE -Wall -Wextra -Werror)
target_link_libraries(brondelkit_e2e PRIVATE brondelcore gtest_main gdi32)
target_link_options(brondelkit_e2e PRIVATE -static)
add_dependencies(brondelkit_e2e brondelkit)
add_dependencies(brondelkit_tests brondelkit_e2e)
