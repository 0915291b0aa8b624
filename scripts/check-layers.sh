#!/usr/bin/env bash
# Checks that the desktop program's includes run only downward through its layers:
#
#   windows, batch  →  workflow  →  reports  →  run  →  data  →  file_information
#
# and that every layer rests only on the platform layer and the engine's C header. Prints each
# include that crosses from one folder to another, counted by direction, then every include that
# runs upward or sideways, and fails when there is one.
# Usage: scripts/check-layers.sh [SOURCE_DIR]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

declare -A rank=(
  [file_information]=1 [data]=2 [run]=3 [reports]=4 [workflow]=5 [windows]=6 [batch]=6
)

# Every quoted include of the desktop program, the platform layer and the engine, as
# "file<TAB>line<TAB>included path".
includes() {
  grep -rnE '^#include "[^"]+"' desktop platform engine --include='*.h' --include='*.cpp' |
    sed -E 's/^([^:]+):([0-9]+):#include "([^"]+)".*/\1\t\2\t\3/'
}

# The layer of a path under desktop/, or the top folder of any other path.
layer_of() {
  local path=$1
  if [[ $path == desktop/* ]]; then
    path=${path#desktop/}
    echo "${path%%/*}"
  else
    echo "${path%%/*}"
  fi
}

declare -A crossings=()
problems=()
while IFS=$'\t' read -r file line included; do
  from=$(layer_of "$file")
  # A name without a folder is found beside the file (or is a Qt form header generated for it).
  [[ $included == */* ]] || continue
  to=$(layer_of "$included")
  if [[ $file != desktop/* ]]; then
    [[ $included == desktop/* ]] &&
      problems+=("$file:$line: $from includes the desktop program's $included")
    continue
  fi
  [[ -n ${rank[$from]:-} ]] || { problems+=("$file:$line: $from is no layer of the desktop program"); continue; }
  if [[ $included != desktop/* ]]; then
    [[ $included == platform/* || $included == engine/api/* ]] ||
      problems+=("$file:$line: $from includes $included, outside the platform and the engine's C header")
    continue
  fi
  [[ $from == "$to" ]] && continue
  crossings["$from → $to"]=$((${crossings["$from → $to"]:-0} + 1))
  if [[ -z ${rank[$to]:-} ]]; then
    problems+=("$file:$line: $from includes $included, in no layer")
  elif ((rank[$to] >= rank[$from])); then
    problems+=("$file:$line: $from includes $included, from layer $to above or beside it")
  fi
done < <(includes)

echo "Includes across the desktop program's layers:"
for direction in "${!crossings[@]}"; do
  printf '  %-30s %4d\n' "$direction" "${crossings[$direction]}"
done | sort
if ((${#problems[@]})); then
  echo "Includes against the layering:" >&2
  printf '  %s\n' "${problems[@]}" >&2
  exit 1
fi
echo "Every include runs downward."
