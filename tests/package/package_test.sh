#!/usr/bin/env bash
# Builds the Debian package from a built tree with CPack and checks it: its
# control fields, its exact file list with owners and modes, the files that
# tell the desktop and the manual about the program, and lintian's verdict
# (no error). Where it may install packages (as root, with apt-get), it also
# installs the package, divides a case with qismar-cli, asks qismar for its
# version and writes the report of a case file from another folder, removes
# it again and checks that no file of the package is left behind.
#   package_test.sh BUILD_DIR VERSION
# QISMAR_PACKAGE_INSTALL=0 skips the install step.
set -euo pipefail
build=$(cd "$1" && pwd)
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# ------------------------------------------------------------ build it
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 \
    || { cat "$work/cpack.log" >&2; fail "cpack failed"; }
arch=$(dpkg --print-architecture)
deb="$work/out/qismar_${version}_${arch}.deb"
[ -f "$deb" ] || fail "no $deb; cpack made: $(ls "$work/out")"

# ------------------------------------------------------------ control fields
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = qismar ] || fail "Package is $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version is $(field Version), the project's is $version"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture is $(field Architecture)"
[ "$(field Section)" = misc ] || fail "Section is $(field Section)"
[ "$(field Priority)" = optional ] || fail "Priority is $(field Priority)"
field Maintainer | grep -qE '^[^<>]+ <[^@<>]+@[^@<>]+>$' || fail "Maintainer is $(field Maintainer)"
[ "$(field Description | head -n 1)" = "divide the estate of a deceased Muslim among the heirs" ] \
    || fail "the summary is $(field Description | head -n 1)"
[ "$(field Description | wc -l)" -gt 5 ] || fail "no long description"
field Installed-Size | grep -qE '^[0-9]+$' || fail "Installed-Size is $(field Installed-Size)"

# Depends: what no link reveals, listed by hand, and what dpkg-shlibdeps
# found in the programs and the recitation and printing modules.
depends=$(field Depends | tr ',' '\n' | sed 's/^ *//; s/ *(.*//')
for p in fonts-noto-core gstreamer1.0-plugins-base gstreamer1.0-plugins-good qt6-translations-l10n \
         libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6svg6 libqt6multimedia6 libqt6printsupport6 \
         libqpdf29 libsimdjson14; do
    grep -qx "$p" <<<"$depends" || fail "Depends lacks $p: $(field Depends)"
done
field Depends | grep -q 'libqt6core6 (>= 6' || fail "the computed dependencies carry no versions: $(field Depends)"
field Recommends | grep -qw fonts-hosny-amiri || fail "Recommends is $(field Recommends)"

# ------------------------------------------------------------ file list
# Every file, with its mode and owner; directories are checked apart.
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\.\//, "/", $6); print $1, $2, $6 }' | sort -k3 >"$work/files"
sort -k3 >"$work/expected" <<'FILES'
-rwxr-xr-x root/root /usr/bin/qismar
-rwxr-xr-x root/root /usr/bin/qismar-cli
-rwxr-xr-x root/root /usr/lib/qismar/qismar
-rw-r--r-- root/root /usr/lib/qismar/libqismar_recitation.so
-rw-r--r-- root/root /usr/lib/qismar/libqismar_printing.so
-rw-r--r-- root/root /usr/lib/qismar/libqismar_pdftext.so
-rw-r--r-- root/root /usr/lib/qismar/introduc.txt
-rw-r--r-- root/root /usr/lib/qismar/qanoon.txt
-rw-r--r-- root/root /usr/lib/qismar/qanoon2.txt
-rw-r--r-- root/root /usr/lib/qismar/massri.txt
-rw-r--r-- root/root /usr/lib/qismar/Nzmya.txt
-rw-r--r-- root/root /usr/lib/qismar/mohazab.txt
-rw-r--r-- root/root /usr/share/applications/qismar.desktop
-rw-r--r-- root/root /usr/share/icons/hicolor/scalable/apps/qismar.svg
-rw-r--r-- root/root /usr/share/mime/packages/qismar.xml
-rw-r--r-- root/root /usr/share/metainfo/invalid.qismar.qismar.metainfo.xml
-rw-r--r-- root/root /usr/share/man/man1/qismar.1.gz
-rw-r--r-- root/root /usr/share/man/man1/qismar-cli.1.gz
-rw-r--r-- root/root /usr/share/doc/qismar/copyright
-rw-r--r-- root/root /usr/share/doc/qismar/changelog.gz
FILES
diff -u "$work/expected" "$work/files" >&2 || fail "the package's files differ from the list above"
dpkg-deb -c "$deb" | awk '$1 ~ /^d/ && ($1 != "drwxr-xr-x" || $2 != "root/root") { bad = 1; print }
                          END { exit bad }' >&2 || fail "a folder is not root's with mode 755"

# ------------------------------------------------------------ what the files say
root="$work/root"
dpkg-deb -x "$deb" "$root"
desktop="$root/usr/share/applications/qismar.desktop"
for line in 'Exec=qismar %f' 'MimeType=application/x-qismar;' 'Icon=qismar' 'Type=Application'; do
    grep -qxF "$line" "$desktop" || fail "the desktop entry lacks $line"
done
! grep -q '^Path=' "$desktop" || fail "the desktop entry sets Path="
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate refuses the desktop entry"
fi
mime="$root/usr/share/mime/packages/qismar.xml"
if command -v xmllint >/dev/null; then
    xmllint --noout "$mime" || fail "the MIME file is not well-formed XML"
fi
grep -q '<mime-type type="application/x-qismar">' "$mime" || fail "the MIME file does not declare application/x-qismar"
grep -q '<glob pattern="\*\.qismar"/>' "$mime" || fail "the MIME file has no *.qismar glob"
# Software centres list the program from its AppStream description: it must
# pass appstreamcli's validation, launch the desktop entry, provide the case
# files' type and name this version as its release, in Arabic and English.
metainfo="$root/usr/share/metainfo/invalid.qismar.qismar.metainfo.xml"
command -v appstreamcli >/dev/null || fail "appstreamcli is not installed (scripts/install-deps.sh installs appstream)"
appstreamcli validate --no-net --explain "$metainfo" >"$work/appstream.log" 2>&1 \
    || { cat "$work/appstream.log" >&2; fail "appstreamcli refuses the metainfo file"; }
grep -qF '<launchable type="desktop-id">qismar.desktop</launchable>' "$metainfo" \
    || fail "the metainfo file does not launch qismar.desktop"
grep -qF '<mediatype>application/x-qismar</mediatype>' "$metainfo" || fail "the metainfo file does not provide application/x-qismar"
grep -qF "<release version=\"$version\" " "$metainfo" || fail "the metainfo file's release is not $version"
for text in '<name xml:lang="ar">القسمار</name>' '<summary xml:lang="ar">' '<project_license>GPL-3.0-or-later</project_license>'; do
    grep -qF "$text" "$metainfo" || fail "the metainfo file lacks $text"
done
# The launcher runs the program in the package's folder.
grep -q 'exec "${here}/../lib/qismar/qismar" "$@"' "$root/usr/bin/qismar" || fail "the launcher does not run /usr/lib/qismar/qismar"
# The changelog's latest entry is this version; the copyright file is in
# Debian's machine-readable form.
zcat "$root/usr/share/doc/qismar/changelog.gz" | head -n 1 | grep -qF "qismar ($version) " \
    || fail "the changelog's latest entry is: $(zcat "$root/usr/share/doc/qismar/changelog.gz" | head -n 1)"
head -n 1 "$root/usr/share/doc/qismar/copyright" | grep -qxF 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
    || fail "the copyright file is not machine-readable"
for page in qismar qismar-cli; do
    zcat "$root/usr/share/man/man1/$page.1.gz" | head -n 1 | grep -qF "\"Qismar $version\"" \
        || fail "the manual page of $page is not for version $version"
    if command -v man >/dev/null; then
        warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z \
                   "$root/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null || true)
        [ -z "$warnings" ] || fail "man warns about $page.1: $warnings"
    fi
done
# The stripped programs still run and tell their version.
[ "$("$root/usr/bin/qismar-cli" --version)" = "qismar-cli $version" ] || fail "the packaged qismar-cli --version"
[ "$(env -i "$root/usr/lib/qismar/qismar" --version)" = "qismar $version" ] || fail "the packaged qismar --version"

# ------------------------------------------------------------ lintian
if command -v lintian >/dev/null; then
    lintian --allow-root --pedantic -I "$deb" >"$work/lintian.log" 2>&1 || true
    if grep -q '^E: ' "$work/lintian.log"; then
        cat "$work/lintian.log" >&2
        fail "lintian reports errors"
    fi
    echo "lintian: no error; $(grep -c '^W: ' "$work/lintian.log" || true) warnings"
    grep '^W: ' "$work/lintian.log" || true
else
    echo "lintian is not installed: its check is skipped"
fi

# ------------------------------------------------------------ install and remove
if [ "${QISMAR_PACKAGE_INSTALL:-1}" = 0 ] || [ "$(id -u)" -ne 0 ] || ! command -v apt-get >/dev/null; then
    echo "package built and checked; not installed (needs root and apt-get)"
    exit 0
fi
# One install at a time on this machine, whoever runs the test.
exec 9>/var/lock/qismar-package-test.lock
flock 9
if dpkg-query -W -f='${Status}' qismar 2>/dev/null | grep -q 'installed'; then
    echo "qismar is already installed here: the install step is skipped, to leave it alone"
    exit 0
fi
export DEBIAN_FRONTEND=noninteractive
apt-get -o DPkg::Lock::Timeout=600 install -y "$deb" >"$work/install.log" 2>&1 \
    || { cat "$work/install.log" >&2; fail "apt-get install failed"; }
removed=0
cleanup() {
    if [ "$removed" = 0 ]; then
        apt-get -o DPkg::Lock::Timeout=600 purge -y qismar >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

elsewhere="$work/elsewhere"
mkdir "$elsewhere"
cd "$elsewhere"
[ "$(command -v qismar)" = /usr/bin/qismar ] || fail "qismar is $(command -v qismar)"
[ "$(command -v qismar-cli)" = /usr/bin/qismar-cli ] || fail "qismar-cli is $(command -v qismar-cli)"
out=$(echo '{"deceased": "woman", "spouse": true, "fullSisters": 2, "estate": "28000"}' | qismar-cli)
[ "$out" = '{"outcome": "divided", "base": 28, "rows": [{"key": "n1", "heir": "husband", "amount": "12000", "percent": "%42.8571"}, {"key": "n10", "heir": "fullSisters", "amount": "8000", "percent": "%28.5714"}]}' ] \
    || fail "the installed qismar-cli gave: $out"
[ "$(env -i PATH=/usr/bin:/bin qismar --version)" = "qismar $version" ] || fail "the installed qismar --version"
# The report of a case file, headless, written in this folder.
printf '{"deceased": "woman", "spouse": true, "fullSisters": 2, "estate": "28000"}\n' >case.qismar
env -i PATH=/usr/bin:/bin qismar --report case.qismar --output report.pdf 2>"$work/report.log" \
    || { cat "$work/report.log" >&2; fail "the installed qismar --report failed"; }
head -c 5 report.pdf | grep -q '^%PDF-' || fail "the installed qismar --report wrote no PDF"
if command -v pdftotext >/dev/null; then
    pdftotext report.pdf - | grep -qF 12,000 || fail "the installed qismar's report lacks the husband's 12,000"
    # The installed module completed the text: the lam-alef of the sisters' caption reads back.
    if command -v python3 >/dev/null; then
        pdftotext report.pdf - | python3 -c 'import sys, unicodedata; sys.exit("الأخوات الشقيقات" not in unicodedata.normalize("NFKC", sys.stdin.read()))' \
            || fail "the installed qismar's report does not read back \"الأخوات الشقيقات\": $(cat "$work/report.log")"
    fi
fi
[ "$(pwd)" = "$elsewhere" ]
dpkg -L qismar >"$work/installed"
grep -qx /usr/lib/qismar/qanoon.txt "$work/installed" || fail "dpkg does not list the data files"
cd /

apt-get -o DPkg::Lock::Timeout=600 purge -y qismar >"$work/remove.log" 2>&1 \
    || { cat "$work/remove.log" >&2; fail "apt-get purge failed"; }
removed=1
! dpkg-query -W -f='${Status}' qismar 2>/dev/null | grep -q 'installed' || fail "qismar is still installed"
left=""
while read -r mode owner path; do
    [ -e "$path" ] || [ -L "$path" ] && left="$left $path"
done <"$work/files"
for d in /usr/lib/qismar /usr/share/doc/qismar; do
    [ -e "$d" ] && left="$left $d"
done
[ -z "$left" ] || fail "left behind after removal:$left"
echo "package installed, used from another folder and removed without a trace: OK"
