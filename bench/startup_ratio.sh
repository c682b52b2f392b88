#!/bin/bash
# The program's whole start, to its main window and out again, unattended, beside its bound: a
# minimal Qt Widgets program showing one dialog. Runs interleaved pairs and prints the medians
# and their ratio, so that a loaded machine weighs on both sides alike.
#   bench/startup_ratio.sh [build folder (build-release)] [pairs (21)] [--plain]
# By default the user's database is a copy of the benchmarks' large file (generated on first
# use), its 10,000-question set chosen and its smart-learning binder holding that set, and the
# backups are made at the end; --plain leaves the binder empty and the backups off.
set -euo pipefail
build=$(realpath "${1:-build-release}")
pairs=${2:-21}
plain=${3:-}
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home/run"
export QT_QPA_PLATFORM=offscreen KELVARA_AUTOANSWER=ok
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
"$build/bench/kelvara_startup_home" $plain

milliseconds() {  # the wall time of one run of the command
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
  end=$(date +%s%N)
  echo $(((end - start) / 1000))
}
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

program=() bound=()
milliseconds "$build/src/app/kelvara" >/dev/null  # the first start copies nothing it needs later
for ((i = 0; i < pairs; ++i)); do
  program+=("$(milliseconds "$build/src/app/kelvara")")
  bound+=("$(milliseconds "$build/bench/minimal_qdialog")")
done
p=$(printf '%s\n' "${program[@]}" | median)
b=$(printf '%s\n' "${bound[@]}" | median)
awk -v p="$p" -v b="$b" -v n="$pairs" 'BEGIN {
  printf "start to main window and exit: %.1f ms (median of %d)\n", p / 1000, n
  printf "minimal QDialog program:       %.1f ms (median of %d)\n", b / 1000, n
  printf "ratio:                         %.2fx\n", p / b }'
# The peak resident memory of the same start (GNU time), the median of five.
if [ -x /usr/bin/time ]; then
  rss=()
  for ((i = 0; i < 5; ++i)); do
    /usr/bin/time -f %M -o "$home/rss" "$build/src/app/kelvara" >/dev/null 2>&1 || { echo "failed: kelvara" >&2; exit 1; }
    rss+=("$(tail -n 1 "$home/rss")")
  done
  r=$(printf '%s\n' "${rss[@]}" | median)
  awk -v r="$r" 'BEGIN { printf "peak RSS of the start:         %.1f MiB (median of 5)\n", r / 1024 }'
fi
