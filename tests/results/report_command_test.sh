#!/usr/bin/env bash
# qismar --report CASE --output FILE.pdf writes the report of a case file
# with no display and no platform chosen, from any folder; a case file that
# cannot be read or divided, an output that cannot be written and a command
# line that is not understood each give one line on standard error and a
# status that is not 0, and leave no file behind; what was under the
# output's name (a case file, an older report, a pipe) is left as it was.
#   report_command_test.sh QISMAR
set -euo pipefail
program=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
cd "$work"

# The program as a clerk runs it: no display, no platform, another folder.
run() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" "$@"; }

printf '{"format": 1, "deceased": "woman", "spouse": true, "mother": true,\n "fullSisters": 2, "estate": "80000"}\n' > awl.qismar
run --report awl.qismar --output "تقرير.pdf" 2>err.txt || fail "the report of a good case failed: $(cat err.txt)"
[ -s "تقرير.pdf" ] || fail "no report was written"
pdfinfo "تقرير.pdf" | grep -q 'Page size:.*(A4)' || fail "the report is not A4: $(pdfinfo "تقرير.pdf")"
pdffonts "تقرير.pdf" | grep 'Arabic' | grep -q ' yes ' || fail "no Arabic face embedded: $(pdffonts "تقرير.pdf")"
text=$(pdftotext "تقرير.pdf" -)
for amount in 80,000 30,000.00 10,000.00 20,000.00 40,000.00 37.5% "بيان قسمة تركة" "اعتمده" "التوقيع"; do
    grep -qF -- "$amount" <<<"$text" || fail "the report lacks $amount"
done

# The options in the other order, and a case with a preparation.
printf '{"spouse": true, "father": true, "sons": 1, "estate": "100000", "funeral": "5000", "debts": "15000", "bequests": "40000"}' > prepared.qismar
run --output prepared.pdf --report prepared.qismar 2>err.txt || fail "the prepared case failed: $(cat err.txt)"
grep -qF 53,333.33 <(pdftotext prepared.pdf -) || fail "the prepared report lacks the net estate"

# A case with an unborn child: what is paid now, the reserve and each
# outcome's amounts (worked by hand: 21,600 among a pregnant wife, a
# daughter, the father and the mother).
mkdir reports
printf '{"spouse": true, "father": true, "mother": true, "daughters": 1, "estate": "21600", "unborn": "child"}' > unborn.qismar
run --report unborn.qismar --output reports/unborn.pdf 2>err.txt || fail "the unborn child's case failed: $(cat err.txt)"
text=$(pdftotext reports/unborn.pdf -)
for amount in 2,400.00 3,900.00 3,200.00 8,900.00 12,700.00 10,800.00 4,500.00 7,800.00 6,400.00 2,500.00; do
    grep -qF -- "$amount" <<<"$text" || fail "the unborn child's report lacks $amount"
done

# Failures: status, one message, no file.
printf '{"estate": "1000", "sons": ' > broken.qismar
printf '{"estate": "1000"}' > noheirs.qismar
printf '{"estate": "1000", "uncles": 2}' > unknown.qismar
printf '{"deceased": "woman", "spouse": true, "estate": "1000", "unborn": "child"}' > refused.qismar
mkdir folder.qismar
check_failure() {
    local want_status=$1 what=$2; shift 2
    set +e
    run "$@" >out.txt 2>err.txt
    local status=$?
    set -e
    [ "$status" -eq "$want_status" ] || fail "$what: status $status, not $want_status"
    [ ! -s out.txt ] || fail "$what: wrote on standard output: $(cat out.txt)"
    grep -q '^qismar: ' err.txt || fail "$what: no message on standard error"
    ! ls ./*.pdf 2>/dev/null | grep -qv -e 'تقرير.pdf' -e prepared.pdf || fail "$what: left a file: $(ls)"
}
check_failure 1 "a missing case file" --report missing.qismar --output a.pdf
check_failure 1 "a case file that is not JSON" --report broken.qismar --output a.pdf
check_failure 1 "an unknown field" --report unknown.qismar --output a.pdf
check_failure 1 "a folder as the case" --report folder.qismar --output a.pdf
check_failure 1 "a case without heirs" --report noheirs.qismar --output a.pdf
check_failure 1 "an unborn child of a deceased woman" --report refused.qismar --output a.pdf
check_failure 1 "an output in a missing folder" --report awl.qismar --output no/such/folder/a.pdf
check_failure 1 "a folder as the output" --report awl.qismar --output folder.qismar
check_failure 2 "no output named" --report awl.qismar
check_failure 2 "an option that is not known" --report awl.qismar --output a.pdf --colour
grep -q 'uncles' <(run --report unknown.qismar --output a.pdf 2>&1 || true) || fail "the message does not name the unknown field"

# The output is the case file itself, under any name: status 2, one line,
# the case as it was.
cp awl.qismar same.qismar
ln -s same.qismar same-link
ln same.qismar same-hard.qismar
mkdir sub
for output in same.qismar ./same.qismar sub/../same.qismar "$work/same.qismar" same-link same-hard.qismar; do
    check_failure 2 "the case file as the output ($output)" --report same.qismar --output "$output"
    [ "$(wc -l <err.txt)" -eq 1 ] || fail "the case file as the output: not one line: $(cat err.txt)"
    grep -q 'is the case file' err.txt || fail "the case file as the output: $(cat err.txt)"
    cmp -s awl.qismar same.qismar || fail "the case file was overwritten by its report ($output)"
done

# A pipe under the output's name is refused and stays a pipe.
mkfifo pipe
check_failure 1 "a pipe as the output" --report awl.qismar --output pipe
grep -q 'not a regular file' err.txt || fail "a pipe as the output: $(cat err.txt)"
[ -p pipe ] || fail "the pipe was replaced"

# A file that cannot grow as far as the report (as on a full disk): status
# 1, the reason in Arabic and English, the older report as it was and no
# file beside it.
printf 'an older report' > old.pdf
set +e
( trap '' XFSZ; ulimit -f 8; run --report awl.qismar --output old.pdf ) >out.txt 2>err.txt
status=$?
set -e
[ "$status" -eq 1 ] || fail "a file size limit: status $status, not 1: $(cat err.txt)"
grep -q 'File too large' err.txt || fail "a file size limit: no reason in English: $(cat err.txt)"
grep -q 'حجم الملف أكبر' err.txt || fail "a file size limit: no reason in Arabic: $(cat err.txt)"
[ "$(cat old.pdf)" = 'an older report' ] || fail "a file size limit: the older report was changed"
! ls -A | grep -q '^\.' || fail "a file size limit: left a file: $(ls -A)"

# A link is followed to the file it names, which is made if need be; the
# link stays a link.
ln -s made.pdf link.pdf
run --report awl.qismar --output link.pdf 2>err.txt || fail "a link as the output: $(cat err.txt)"
[ -L link.pdf ] && [ -s made.pdf ] || fail "a link as the output was not followed: $(ls -l)"
echo "qismar --report without a display: OK"
