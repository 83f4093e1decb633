# The real program, driven from another process in a namespace of its own.
# The starts at the same moment get a session of their own (e2e_starts.sh),
# and so do the resume roads (e2e_resume.sh).
source "$BK_ROOT/tests/ns/resume-tests.sh"
exec bash "$BK_ROOT/tests/ns/namespace.sh" e2e "$BK_BUILD/brondelkit_e2e.exe" \
  --gtest_filter="-Instances.StartsAtTheSameMomentLeaveOne:$BK_RESUME_TESTS"
