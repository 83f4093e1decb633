#!/bin/bash
# Runs a Windows program of the build under Wine (64- or 32-bit, as the exe
# is) with the project's prefix, in the device's locale.
source "$(dirname "$0")/wine-env.sh"
bk_wine_exec "$@"
