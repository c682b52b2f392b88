#!/usr/bin/env bash
# Fails, naming the file and line, when a folder of src/ includes a folder above its layer:
#   platform <- database <- services <- study; platform <- uictl; all of them <- app.
# Usage: check_layers.sh [src folder]
set -euo pipefail
src=${1:-"$(dirname "$0")/../src"}

find "$src" -mindepth 2 -type f \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z |
  xargs -0 -r awk -v src="$src" '
    BEGIN {
      # The folders each layer may include besides itself.
      allowed["platform"] = " platform "
      allowed["database"] = " platform database "
      allowed["services"] = " platform database services "
      allowed["study"] = " platform database services study "
      allowed["uictl"] = " platform uictl "
      allowed["app"] = " platform database services study uictl app "
      status = 0
    }
    FNR == 1 {
      layer = substr(FILENAME, length(src) + 2)
      sub(/\/.*/, "", layer)
      if (!(layer in allowed)) {
        printf "%s: folder \"%s\" is not one of the layers\n", FILENAME, layer > "/dev/stderr"
        status = 1
      }
    }
    /^[ \t]*#[ \t]*include[ \t]*"[a-z_]+\// {
      target = $0
      sub(/^[^"]*"/, "", target)
      sub(/".*/, "", target)
      folder = target
      sub(/\/.*/, "", folder)
      if ((layer in allowed) && index(allowed[layer], " " folder " ") == 0) {
        printf "%s:%d: %s includes \"%s\" from a layer above it\n", FILENAME, FNR, layer, target > "/dev/stderr"
        status = 1
      }
    }
    END { exit status }' || exit 1
