#!/usr/bin/env bash
# Runs a Windows program (a test, mostly) in the project's Wine prefix and
# passes its exit code on.
source "$(dirname "$0")/wine-env.sh"
exec "$KM_WINE" "$@"
