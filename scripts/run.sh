#!/usr/bin/env bash
# Builds Kelvara and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "Kelvara is a desktop program: start it inside a graphical session (no DISPLAY is set)." >&2
  exit 1
fi
exec build/src/app/kelvara "$@"
