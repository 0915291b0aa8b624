#!/usr/bin/env bash
# Installs a build into a scratch prefix and uses the installation as a user and a host
# program would: the layout of the files, the installed programs on the bundled sample with
# the user's files in the XDG folders (and in RAVELO_HOME's), the manual pages, and the C host
# example built through the installed header and pkg-config file.
# Usage: scripts/check-install.sh [BUILD_DIR]   (default: build)
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$source_dir/build}" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix

fail() {
  echo "check-install: $*" >&2
  exit 1
}

cmake --install "$build" --prefix "$prefix" > "$scratch/install.log"
pc=$(find "$prefix" -name vetra40.pc)
[ -n "$pc" ] || fail "no vetra40.pc installed"
libdir=$(dirname "$(dirname "$pc")")

for file in bin/ravelo-batch bin/rmfbuild bin/rmfdump bin/editc bin/naaccr_generate \
            include/vetra40.h share/ravelo/help/index.html share/applications/ravelo.desktop \
            share/icons/hicolor/scalable/apps/ravelo.svg share/ravelo/samples/naaccr18.rmf \
            share/ravelo/samples/naaccr18.ini share/ravelo/samples/naaccr18-layout.csv; do
  [ -e "$prefix/$file" ] || fail "$file is not installed"
done
for library in libVETRA40.so libkznaaccr.so; do
  [ -e "$libdir/$library" ] || fail "$library is not installed in $libdir"
done

# The engine carries its major version in its SONAME, and the programs find it relative to
# themselves, never in the build tree.
objdump -p "$libdir/libVETRA40.so" | grep -Eq 'SONAME +libVETRA40\.so\.[0-9]+$' ||
  fail "libVETRA40.so has no versioned SONAME"
expected_path="\$ORIGIN/../${libdir#"$prefix"/}"
for program in ravelo-batch ravelo; do
  [ -e "$prefix/bin/$program" ] || continue
  run_path=$(objdump -p "$prefix/bin/$program" | awk '$1 == "RPATH" || $1 == "RUNPATH" {print $2}')
  [ "$run_path" = "$expected_path" ] || fail "$program's run path is '$run_path'"
done

for page in ravelo ravelo-batch rmfbuild rmfdump editc naaccr_generate; do
  manual=$(find "$prefix" -path "*/man1/$page.1")
  [ -n "$manual" ] || fail "no manual page for $page"
  warnings=$(groff -man -Tutf8 -ww -z "$manual" 2>&1)
  [ -z "$warnings" ] || fail "$page.1: $warnings"
done

# From here on, nothing of the build tree or the source tree is used: a scratch home, and the
# scratch folder as the current folder, so naaccr_generate finds the installed layout.
cd "$scratch"
export HOME=$scratch/home
unset RAVELO_HOME XDG_CONFIG_HOME XDG_DATA_HOME
samples=$prefix/share/ravelo/samples

"$prefix/bin/ravelo-batch" --version | grep -q '^ravelo-batch ' || fail "ravelo-batch --version"
if [ -e "$prefix/bin/ravelo" ]; then
  "$prefix/bin/ravelo" --version | grep -q '^ravelo ' || fail "ravelo --version"
fi

"$prefix/bin/naaccr_generate" --records 200 --seed 18 -o records.txt
check_sample() {
  local status=0
  "$prefix/bin/ravelo-batch" --config "$samples/naaccr18.ini" --metafile "$samples/naaccr18.rmf" \
    --data records.txt --report csv > run.log 2>&1 || status=$?
  [ "$status" -le 1 ] || { cat run.log >&2; fail "ravelo-batch exited with $status"; }
}
check_sample
[ -d "$HOME/.config/ravelo" ] || fail "no configuration folder in ~/.config/ravelo"
[ -f "$HOME/.local/share/ravelo/query/errors.db" ] || fail "no results in ~/.local/share/ravelo"
ls "$HOME"/.local/share/ravelo/reports/*.csv > /dev/null || fail "no report in ~/.local/share/ravelo"

export RAVELO_HOME=$scratch/ravelo-home
check_sample
[ -f "$RAVELO_HOME/query/errors.db" ] || fail "RAVELO_HOME holds no results"
unset RAVELO_HOME

# The host example, built as a host program would be: only the installed header and library.
export PKG_CONFIG_PATH=$libdir/pkgconfig
cc -std=c11 -Wall -Wextra -Wpedantic -Werror $(pkg-config --cflags vetra40) \
  "$source_dir/examples/host/check_record.c" $(pkg-config --libs vetra40) \
  -Wl,-rpath,"$(pkg-config --variable=libdir vetra40)" -o check_record
./check_record "$samples/naaccr18.rmf" "NAACCR 18 Incidence" "Incidence Core Edits" records.txt \
  > check_record.log || { cat check_record.log >&2; fail "check_record failed"; }
grep -q '^checked 200 records: [0-9]* failed, [0-9]* messages$' check_record.log ||
  fail "check_record: $(tail -1 check_record.log)"
# The Python package, as installed beside the engine, with the engine it names.
python_package=$prefix/lib/python3/dist-packages
[ -f "$python_package/vetra/checker.py" ] || fail "the Python package vetra is not installed"
VETRA_LIBRARY=$libdir/libVETRA40.so PYTHONPATH=$python_package PYTHONDONTWRITEBYTECODE=1 \
  /usr/bin/python3 -c '
import sys, vetra
with vetra.Metafile(sys.argv[1]) as metafile:
    checker = metafile.checker("NAACCR 18 Incidence", metafile.edit_sets)
    with open("records.txt") as records:
        checked = sum(1 for _ in checker.check_records(records))
assert checked == 200, checked
' "$samples/naaccr18.rmf" || fail "the Python package cannot check the sample"
echo "check-install: the installation in a scratch prefix works"
