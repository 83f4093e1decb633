# The real program, driven from another process in a namespace of its own.
exec bash "$BK_ROOT/tests/ns/namespace.sh" e2e "$BK_BUILD/brondelkit_e2e.exe"
