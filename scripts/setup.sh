#!/usr/bin/env bash
# Installs what the project needs (idempotent) and builds it into build/; with --sanitize, builds
# it with AddressSanitizer and UndefinedBehaviorSanitizer into build-sanitize/ instead.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=build
# What a learner runs and the tests test: optimised, without debug information, which makes the
# build half as long again. BUILD_TYPE=RelWithDebInfo gives a build to debug.
build_type=Release
options=()
for arg in "$@"; do
  case "$arg" in
    --sanitize)
      build_dir=build-sanitize
      # A report names its lines.
      build_type=RelWithDebInfo
      # The benchmarks measure nothing useful under the sanitizers.
      options+=(-DKELVARA_SANITIZE=ON -DKELVARA_BUILD_BENCHMARKS=OFF)
      ;;
    *)
      echo "usage: $0 [--sanitize]" >&2
      exit 2
      ;;
  esac
done

packages=$(grep -v '^\s*#' scripts/packages.txt | grep -v '^\s*$' | tr '\n' ' ')
missing=$(dpkg-query -W -f='${db:Status-Abbrev} ${Package}\n' $packages 2>/dev/null | awk '$1!="ii"{print $2}' || true)
# dpkg-query prints nothing for packages it has never heard of.
known=$(dpkg-query -W -f='${Package}\n' $packages 2>/dev/null || true)
for p in $packages; do
  grep -qx "$p" <<<"$known" || missing="$missing $p"
done
if [ -n "${missing// /}" ]; then
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $packages
fi

cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-$build_type}" \
  -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache "${options[@]}" >/dev/null
cmake --build "$build_dir" --parallel "$(nproc)"
