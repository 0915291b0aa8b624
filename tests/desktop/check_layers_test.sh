#!/usr/bin/env bash
# The layering check on small source trees: it passes a tree whose includes run downward and
# names each include that runs upward or sideways, or leaves the layers, in one that does not.
# Usage: check_layers_test.sh CHECK_SCRIPT
set -euo pipefail
check=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
fail() {
  echo "check_layers_test: $*" >&2
  exit 1
}

mkdir -p "$tree"/{desktop/data,desktop/run,desktop/workflow,desktop/windows,desktop/batch,platform,engine/api}
printf '#include "platform/files.h"\n#include "engine/api/vetra40.h"\n' > "$tree/desktop/data/reader.h"
printf '#include "desktop/data/reader.h"\n#include "runner.h"\n' > "$tree/desktop/run/runner.cpp"
printf '#include "desktop/run/runner.h"\n' > "$tree/desktop/workflow/flow.h"
printf '#include "ui_window.h"\n#include "desktop/workflow/flow.h"\n' > "$tree/desktop/windows/window.cpp"
"$check" "$tree" > "$tree/out" || fail "a downward tree was refused: $(cat "$tree/out")"
grep -q "run → data *1" "$tree/out" || fail "the crossing run → data was not counted"

printf '#include "desktop/workflow/flow.h"\n' > "$tree/desktop/run/upward.cpp"
printf '#include "desktop/batch/job.h"\n' > "$tree/desktop/windows/sideways.cpp"
printf '#include "tools/writer.h"\n' > "$tree/desktop/data/outside.cpp"
printf '#include "desktop/run/runner.h"\n' > "$tree/platform/back.cpp"
if "$check" "$tree" > "$tree/out" 2>&1; then fail "upward includes passed"; fi
for expected in "desktop/run/upward.cpp:1: run includes desktop/workflow/flow.h" \
                "desktop/windows/sideways.cpp:1: windows includes desktop/batch/job.h" \
                "desktop/data/outside.cpp:1: data includes tools/writer.h" \
                "platform/back.cpp:1: platform includes the desktop program's desktop/run/runner.h"; do
  grep -qF "$expected" "$tree/out" || fail "not named: $expected"
done
echo "check_layers_test: passed"
