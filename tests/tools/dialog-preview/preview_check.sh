#!/usr/bin/env bash
# preview_check.sh PREVIEW_EXE SAMPLE_FRAGMENT WORK_FOLDER
#
# dialog-preview.exe --check prints what the host would show: one line and exit code per case.
# Runs inside a Wine session (`wine-run --session`); VORPEX_WINE_RUN names the program runner.
set -uo pipefail
preview=$1 sample=$2 work=$3
runner=${VORPEX_WINE_RUN:-$(cd "$(dirname "$0")/../../.." && pwd)/scripts/wine-run}
mkdir -p "$work"
failures=0

write() { printf '%b' "$2" >"$work/$1"; }
write broken.xml "<container name='A' title='a'>\n  <vbox>\n    <checkbox name='x'>\n  </vbox>\n</container>\n"
write event.xml "<container name='A' title='a'>\n  <vbox>\n    <checkbox name='x' onchange='OnChangeToolGadgets()'/>\n  </vbox>\n</container>\n"
write flag.xml "<container name='A' flags=' #PB_Container_Single'><text flags='#PB_Container_Single'/></container>"
write window.xml "<window text='x' flags='#PB_Window_SystemMenu'><vbox><text text='a'/></vbox></window>"
write nowindow.xml "<vbox/>"
# The same fragment as UTF-16LE with a byte-order mark.
printf '\xff\xfe' >"$work/utf16.xml"
iconv -f UTF-8 -t UTF-16LE "$sample" >>"$work/utf16.xml"

check() {  # expected-exit expected-line arguments...
  local code=$1 line=$2 output rc
  shift 2
  output=$("$runner" "$preview" --check "$@" 2>&1 | tr -d '\r')
  rc=${PIPESTATUS[0]}
  if [[ $output != "$line" || $rc != "$code" ]]; then
    echo "FAIL $*: got '$output' (exit $rc), want '$line' (exit $code)"
    failures=$((failures + 1))
  else
    echo "ok   $*"
  fi
}

check 0 "ok" --fragment "Z:$sample"
check 0 "ok" --fragment "Z:$work/utf16.xml"
check 0 "ok" "Z:$work/window.xml"
check 1 "XML error: mismatched tag (Line: 4)" --fragment "Z:$work/broken.xml"
check 1 "Dialog error: 'onchange' is not supported for the following gadget: checkbox" --fragment "Z:$work/event.xml"
check 1 "Dialog error: '#PB_Container_Single' flag is not supported for the following gadget: text" --fragment "Z:$work/flag.xml"
check 1 "Dialog error: Dialog window not found" "Z:$work/nowindow.xml"
exit $((failures > 0))
