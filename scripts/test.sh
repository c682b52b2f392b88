#!/usr/bin/env bash
# Builds Kelvara and runs the whole test suite; with --sanitize, a build with AddressSanitizer and
# UndefinedBehaviorSanitizer in build-sanitize/, where any report fails its test.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=build
case "${1:-}" in
  "") ;;
  --sanitize) build_dir=build-sanitize ;;
  *)
    echo "usage: $0 [--sanitize]" >&2
    exit 2
    ;;
esac
bash scripts/setup.sh "$@"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build_dir" --output-on-failure --parallel "$(nproc)" --timeout 300
