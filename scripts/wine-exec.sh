#!/bin/bash
# Runs a Windows program of the build under wine64 with the project's prefix.
source "$(dirname "$0")/wine-env.sh"
exec wine "$@"
