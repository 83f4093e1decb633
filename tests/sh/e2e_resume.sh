# The resume roads of the real program, on a Wine desktop of the device's
# size with its taskbar, in a namespace of their own.
source "$BK_ROOT/tests/ns/resume-tests.sh"
BK_NS_DESKTOP=1 exec bash "$BK_ROOT/tests/ns/namespace.sh" e2e-resume "$BK_BUILD/brondelkit_e2e.exe" \
  --gtest_filter="$BK_RESUME_TESTS"
