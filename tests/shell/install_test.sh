#!/usr/bin/env bash
# Installs the project into a scratch prefix and checks what the desktop
# program needs there: the program, its recitation module and its data
# files in one folder, a launcher that starts it in the caller's current
# folder, a desktop entry that runs the launcher and opens case files, the
# icon, the case files' MIME type, the manual pages and the documents.
#   install_test.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

desktop="$prefix/share/applications/qismar.desktop"
# key                      the one line it must have in the desktop entry
while read -r want; do
    grep -qxF "$want" "$desktop" || fail "the desktop entry lacks the line: $want"
done <<'LINES'
Type=Application
Exec=qismar %f
Icon=qismar
MimeType=application/x-qismar;
Terminal=false
Name[ar]=القسمار
LINES
! grep -q '^Path=' "$desktop" || fail "the desktop entry still sets Path="

dir="$prefix/lib/qismar"
for f in lib/qismar/qismar lib/qismar/libqismar_recitation.so \
         lib/qismar/introduc.txt lib/qismar/qanoon.txt lib/qismar/qanoon2.txt \
         lib/qismar/massri.txt lib/qismar/Nzmya.txt lib/qismar/mohazab.txt \
         bin/qismar bin/qismar-cli \
         share/icons/hicolor/scalable/apps/qismar.svg share/mime/packages/qismar.xml \
         share/man/man1/qismar.1.gz share/man/man1/qismar-cli.1.gz \
         share/doc/qismar/copyright share/doc/qismar/changelog.gz; do
    [ -f "$prefix/$f" ] || fail "$f is not installed"
done
for f in lib/qismar/qismar bin/qismar bin/qismar-cli; do
    [ -x "$prefix/$f" ] || fail "$f is not executable"
done
grep -q '<glob pattern="\*\.qismar"/>' "$prefix/share/mime/packages/qismar.xml" || fail "no *.qismar glob"
grep -q 'type="application/x-qismar"' "$prefix/share/mime/packages/qismar.xml" || fail "no application/x-qismar"

# The launcher starts the program from its folder but leaves the current
# folder alone, also when it is called through a link from elsewhere: put a
# stand-in that reports its path, its working folder and its arguments in
# the program's place.
mv "$dir/qismar" "$dir/qismar.real"
printf '#!/bin/sh\necho "$0"\npwd\nfor a in "$@"; do echo "[$a]"; done\n' > "$dir/qismar"
chmod +x "$dir/qismar"
mkdir "$prefix/elsewhere" "$prefix/work"
ln -s "$prefix/bin/qismar" "$prefix/elsewhere/link"
out=$(cd "$prefix/work" && "$prefix/elsewhere/link" --report "a b.qismar" --output a.pdf)
[ "$(readlink -f "$(echo "$out" | sed -n 1p)")" = "$(readlink -f "$dir/qismar")" ] \
    || fail "the launcher ran $(echo "$out" | sed -n 1p)"
[ "$(echo "$out" | sed -n 2p)" = "$(cd "$prefix/work" && pwd)" ] \
    || fail "the launcher ran the program in $(echo "$out" | sed -n 2p)"
[ "$(echo "$out" | sed -n '3,$p' | tr '\n' ' ')" = "[--report] [a b.qismar] [--output] [a.pdf] " ] \
    || fail "the launcher changed the arguments: $(echo "$out" | sed -n '3,$p' | tr '\n' ' ')"
mv "$dir/qismar.real" "$dir/qismar"

# The installed programs answer from any folder, without a display.
(cd "$prefix/work" && env -i "$prefix/bin/qismar" --version | grep -qx "qismar [0-9.]*") \
    || fail "the installed launcher does not answer --version"
(cd "$prefix/work" && echo '{"sons":1,"estate":"5"}' | "$prefix/bin/qismar-cli" | grep -q '"amount": "5"') \
    || fail "the installed qismar-cli does not divide a case"
echo "install layout and launcher: OK"
