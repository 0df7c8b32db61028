#!/usr/bin/env bash
# One screenshot per option group, as the host's settings window shows it (under Wine):
#   catalogue_screenshots.sh FRAGMENT-PRINTER DIALOG-PREVIEW.EXE OUTPUT-FOLDER
# Each group is cut out of the fragment alone (visible), spliced into the host's window by
# dialog-preview, painted, and captured from the Xvfb screen of the Wine session.
set -euo pipefail
printer=$1 preview=$2 out=$3
here=$(cd "$(dirname "$0")" && pwd)
wine_run=${VORPEX_WINE_RUN:-$here/../../scripts/wine-run}
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$printer" >"$work/fragment.xml"
# Top-level containers start at the beginning of a line.
awk -v dir="$work" '
  /^<container name=/ { n++; file = sprintf("%s/group%d.xml", dir, n); sub(/ invisible=.yes./, "") }
  n > 0 { print > file }
' "$work/fragment.xml"

shoot() {
  local group=$1 name ready
  name=$(sed -n "1s/^<container name='\([A-Za-z]*\)'.*/\1/p" "$group")
  ready=$work/$name.ready
  "$wine_run" "$preview" --fragment --close-after 3000 --ready-file "$(winepath -w "$ready")" \
    "$(winepath -w "$group")" &
  local pid=$! i
  for ((i = 0; i < 100; i++)); do [[ -e $ready ]] && break; sleep 0.1; done
  sleep 0.3
  import -display "$DISPLAY" -window root "$out/$name.png"
  wait "$pid"
  echo "$out/$name.png"
}

export work out preview wine_run
export -f shoot
# One Wine session (and its Xvfb display) for all eight.
"$wine_run" --session bash -c 'for group in "$work"/group*.xml; do shoot "$group"; done'
