#!/usr/bin/env bash
# windows_test.sh WINE_RUN ZENTREL_FORMAT_EXE DATA_DIR WORK_DIR
#
# zentrel-format.exe under Wine formats the beautifier's sample as the native tool does (the same
# expected bytes), with CR LF line ends, in a folder whose name is not ASCII: printed (the path
# as an argument), from standard input, and rewritten in place with nothing left beside it.
set -uo pipefail
wine_run=$1 program=$2 data=$3 work=$4
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
# Wine reads the arguments in the locale's character set.
export LC_ALL=C.UTF-8

folder="$work/Vorpex Prüfung – 東京"
rm -rf "$work"
mkdir -p "$folder" || exit 1
sed 's/$/\r/' "$data/typical.pb" >"$work/source.pb"
sed 's/$/\r/' "$data/typical.formatted.pb" >"$work/expected.pb"
cp "$work/source.pb" "$folder/Übung.pb"

"$wine_run" "$program" "$folder/Übung.pb" >"$work/printed.pb" || fail "printing exited with $?"
cmp "$work/printed.pb" "$work/expected.pb" || fail "the printed text differs from the expected one"

"$wine_run" "$program" <"$work/source.pb" >"$work/piped.pb" || fail "standard input exited with $?"
cmp "$work/piped.pb" "$work/expected.pb" || fail "standard input to output differs from the expected text"

"$wine_run" "$program" -i "$folder/Übung.pb" || fail "-i exited with $?"
cmp "$folder/Übung.pb" "$work/expected.pb" || fail "the rewritten file differs from the expected text"
left=$(ls -A "$folder")
[[ $left == Übung.pb ]] || fail "the folder holds more than the file: $left"
"$wine_run" "$program" --check "$folder/Übung.pb" || fail "--check of the rewritten file exited with $?"

((failures == 0)) && echo "ok   zentrel-format.exe: $(stat -c %s "$work/expected.pb") bytes as expected"
exit $((failures > 0))
