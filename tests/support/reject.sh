# Sourced by the device build tests: a form the device's tools must refuse.
#   reject NAME EXPECT BASE LINE...
# writes a copy of the device source BASE with the LINEs added to
# $work/NAME.cpp, and fails (the test's fail) unless the test's own
# build_copy COPY BASE refuses it naming EXPECT; $refuser names that build.
reject() {
  local name=$1 expect=$2 base=$3; shift 3
  { cat "$base"; printf '%s\n' "$@"; } >"$work/$name.cpp"
  if build_copy "$work/$name.cpp" "$base" >"$work/$name.err" 2>&1; then
    fail "$refuser accepts $name"
  elif ! grep -q -- "$expect" "$work/$name.err"; then
    fail "$refuser rejects $name, but not for $expect: $(grep -m 1 -E 'error|undefined' "$work/$name.err")"
  fi
}
