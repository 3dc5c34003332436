#!/usr/bin/env bash
# Runs a command with a serial line in the Wine prefix: COM7 and COM8 are the two
# ends of a pseudo-terminal pair made by socat, so what a program writes on one
# port can be read on the other. KM_SERIAL_PORTS tells the command the two numbers.
#   tools/serial-pair.sh <command> [args...]
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
dir=$(mktemp -d)
socat pty,raw,echo=0,link="$dir/a" pty,raw,echo=0,link="$dir/b" 2>"$dir/log" &
socat_pid=$!
dosdevices="$WINEPREFIX/dosdevices"
cleanup() {
  rm -f "$dosdevices/com7" "$dosdevices/com8"
  kill "$socat_pid" 2>/dev/null || true
  wait "$socat_pid" 2>/dev/null || true
  rm -rf "$dir"
}
trap cleanup EXIT
for _ in $(seq 100); do [ -e "$dir/a" ] && [ -e "$dir/b" ] && break; sleep 0.05; done
if [ ! -e "$dir/a" ] || [ ! -e "$dir/b" ]; then
  echo "serial-pair: socat gave no pseudo terminals: $(cat "$dir/log")" >&2
  exit 1
fi
mkdir -p "$dosdevices"
ln -sfn "$(readlink -f "$dir/a")" "$dosdevices/com7"
ln -sfn "$(readlink -f "$dir/b")" "$dosdevices/com8"
export KM_SERIAL_PORTS="7 8"
"$@"
