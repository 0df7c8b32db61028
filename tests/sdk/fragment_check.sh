#!/usr/bin/env bash
# fragment_check.sh PREVIEW_EXE SAMPLE_C WORK_FOLDER
#
# The sample plugin's fragment, taken from its C source as GUIDE.md tells authors to check theirs:
# `dialog-preview.exe --check --fragment` prints "ok". Runs inside a Wine session.
set -uo pipefail
preview=$1 sample=$2 work=$3
runner=${VORPEX_WINE_RUN:-$(cd "$(dirname "$0")/../.." && pwd)/scripts/wine-run}
mkdir -p "$work"
# The wide string literals of kFragment, joined (the sample uses no escapes in them).
python3 - "$sample" "$work/sample_fragment.xml" <<'PY' || exit 1
import re, sys
source = open(sys.argv[1], encoding="utf-8").read()
start = source.index("kFragment[] =")
literals = re.findall(r'L"((?:[^"\\]|\\.)*)"', source[start:source.index(";", start)])
if not literals or any("\\" in literal for literal in literals):
    sys.exit("no plain fragment literals in " + sys.argv[1])
open(sys.argv[2], "w", encoding="utf-8").write("".join(literals))
PY
output=$("$runner" "$preview" --check --fragment "Z:$work/sample_fragment.xml" 2>&1 | tr -d '\r')
rc=${PIPESTATUS[0]}
if [[ $output != ok || $rc != 0 ]]; then
  echo "FAIL dialog-preview --check: '$output' (exit $rc)"
  exit 1
fi
echo "ok   the sample's fragment passes dialog-preview --check"
