#!/usr/bin/env bash
# zip_test.sh WORDSIZE BUILD_DIR EXPECTED_ENTRIES WORK_DIR
#
# Packages the release zip of a Windows build twice into WORK_DIR and checks that both runs give
# the same bytes, that the entries are exactly the expected ones in sorted order, that every
# entry has the same date, that the shipped binaries are stripped copies (the build's own files
# keep their debug information) and that nothing names a folder of this machine.
set -uo pipefail
wordsize=$1 build=$2 expected=$3 work=$4
root=$(cd "$(dirname "$0")/../.." && pwd)
version=$(tr -d '[:space:]' <"$root/VERSION")
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

rm -rf "$work"
mkdir -p "$work/first" "$work/second"
before=$(stat -c '%s %Y' "$build/stage/tool/toolhost.exe" "$build/stage/tool/Zentrel.dll")
python3 "$root/scripts/dist/package.py" "$wordsize" "$build" "$work/first" || exit 1
sleep 1  # a second later: any date taken from the clock would show
python3 "$root/scripts/dist/package.py" "$wordsize" "$build" "$work/second" || exit 1
zip=vorpex-$version-$wordsize.zip
cmp -s "$work/first/$zip" "$work/second/$zip" || fail "two runs gave different bytes"
[[ $(stat -c '%s %Y' "$build/stage/tool/toolhost.exe" "$build/stage/tool/Zentrel.dll") == "$before" ]] ||
  fail "the build's own toolhost.exe or Zentrel.dll changed"

python3 - "$work/first/$zip" "$expected" "$work/first/unpacked" <<'PY' || failures=$((failures + 1))
import sys, zipfile
archive = zipfile.ZipFile(sys.argv[1])
names = [info.filename for info in archive.infolist()]
with open(sys.argv[2]) as f:
    expected = [line.strip() for line in f if line.strip()]
problems = []
if names != expected:
    problems.append("entries differ from %s:\n  got      %s\n  expected %s" % (sys.argv[2], names, expected))
if names != sorted(names):
    problems.append("entries are not sorted")
dates = {info.date_time for info in archive.infolist()}
if len(dates) != 1:
    problems.append("entries carry %d dates" % len(dates))
archive.extractall(sys.argv[3])
for problem in problems:
    print("FAIL " + problem)
sys.exit(1 if problems else 0)
PY

unpacked=$work/first/unpacked/Vorpex
for built in stage/tool/toolhost.exe stage/tool/Zentrel.dll tools/zentrel-format/zentrel-format.exe; do
  binary=${built##*/}
  [[ -f $unpacked/$binary ]] || continue
  if strings -a "$unpacked/$binary" | grep -q -E "$root|/work/|/tmp/"; then
    fail "$binary names a folder of the build machine"
  fi
  (($(stat -c %s "$unpacked/$binary") < $(stat -c %s "$build/$built"))) || fail "$binary is not stripped"
done
grep -q "Vorpex $version for the" "$unpacked/README.txt" || fail "README.txt does not name the version"
if [[ -f $unpacked/zentrel-format.exe ]]; then
  grep -q "zentrel-format.exe -i" "$unpacked/README.txt" || fail "README.txt does not say how to run zentrel-format.exe"
fi
grep -q $'\r$' "$unpacked/README.txt" || fail "README.txt has no Windows line ends"
cmp -s <(tr -d '\r' <"$unpacked/sdk/vorpex_plugin.h") "$root/sdk/vorpex_plugin.h" || fail "sdk/vorpex_plugin.h differs from the repository's"

((failures == 0)) && echo "ok   $zip: $(stat -c %s "$work/first/$zip") bytes"
exit $((failures > 0))
