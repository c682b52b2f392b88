#!/usr/bin/env bash
# A scratch tree whose database layer includes the application and whose study window includes
# the application object: the layer check must fail and name both lines.
set -uo pipefail
check=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/database" "$tree/study" "$tree/services"
printf '#include "platform/text.h"\n#include "app/klv_app.h"\n' > "$tree/database/record.cpp"
printf '#include "services/app_settings.h"\n' > "$tree/study/fine.cpp"
printf '// one\n#include "study/window/trans_dialog.h"\n' > "$tree/services/history.h"
out=$(bash "$check" "$tree" 2>&1)
rc=$?
echo "$out"
[ "$rc" -ne 0 ] || { echo "the check passed a tree with upward includes"; exit 1; }
grep -q 'database/record.cpp:2: database includes "app/klv_app.h"' <<<"$out" || exit 1
grep -q 'services/history.h:2: services includes "study/window/trans_dialog.h"' <<<"$out" || exit 1
! grep -q 'study/fine.cpp' <<<"$out"
