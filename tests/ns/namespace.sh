#!/bin/bash
# Starts session.sh inside new network, UTS and mount namespaces. Fails
# loudly when the namespaces cannot be made: these tests are never skipped.
set -euo pipefail
if ! unshare --net --uts --mount --fork -- true 2>/dev/null; then
  echo "FAIL: cannot create network/UTS/mount namespaces here (need root or user namespaces)." >&2
  exit 1
fi
exec unshare --net --uts --mount --fork -- bash "$(dirname "$0")/session.sh" "$@"
