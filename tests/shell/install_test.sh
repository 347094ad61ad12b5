#!/usr/bin/env bash
# Installs the project into a scratch prefix and checks what the desktop
# program needs there: the program, its recitation module and its data
# files in one folder, a launcher that starts it in that folder, and a
# desktop entry (with its icon) that does the same.
#   install_test.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

dir=$(sed -n 's/^Path=//p' "$prefix/share/applications/qismar.desktop")
[ -n "$dir" ] || fail "the desktop entry has no Path="
[ "$(readlink -f "$dir")" = "$(readlink -f "$prefix/lib/qismar")" ] || fail "Path= is $dir"
exec_line=$(sed -n 's/^Exec=//p' "$prefix/share/applications/qismar.desktop")
[ "$exec_line" = "$dir/qismar" ] || fail "Exec= is $exec_line"
grep -qx 'Icon=qismar' "$prefix/share/applications/qismar.desktop" || fail "no Icon=qismar"
grep -qx 'Type=Application' "$prefix/share/applications/qismar.desktop" || fail "no Type=Application"
[ -f "$prefix/share/icons/hicolor/scalable/apps/qismar.svg" ] || fail "the icon is not installed"

for f in qismar libqismar_recitation.so introduc.txt qanoon.txt qanoon2.txt massri.txt Nzmya.txt mohazab.txt; do
    [ -f "$dir/$f" ] || fail "$f is not in $dir"
done
[ -x "$dir/qismar" ] || fail "the program is not executable"
[ -x "$prefix/bin/qismar" ] || fail "the launcher is not executable"

# The launcher enters the program's folder before it starts the program,
# also when it is called through a link from elsewhere: put a stand-in
# that reports its working folder and arguments in the program's place.
mv "$dir/qismar" "$dir/qismar.real"
printf '#!/bin/sh\npwd\necho "$@"\n' > "$dir/qismar"
chmod +x "$dir/qismar"
mkdir "$prefix/elsewhere"
ln -s "$prefix/bin/qismar" "$prefix/elsewhere/link"
out=$(cd / && "$prefix/elsewhere/link" one two)
[ "$(echo "$out" | sed -n 1p)" = "$(cd "$dir" && pwd -P)" ] || [ "$(echo "$out" | sed -n 1p)" = "$dir" ] \
    || fail "the launcher ran the program in $(echo "$out" | sed -n 1p)"
[ "$(echo "$out" | sed -n 2p)" = "one two" ] || fail "the launcher lost the arguments"
echo "install layout and launcher: OK"
