#!/usr/bin/env bash
# screenshot.sh PREVIEW_EXE FRAGMENT OUTPUT_FOLDER
#
# Shows the host's window with FRAGMENT spliced in with dialog-preview.exe and captures the
# screen: each tab at the window's minimum size, the second plugin page, then the first tab after
# a resize to 760 × 560. Runs inside a Wine session that provides
# DISPLAY (`wine-run --session`); VORPEX_WINE_RUN names the program runner (default: wine-run
# beside this project's scripts).
set -euo pipefail
preview=$1 fragment=$2 out=$3
runner=${VORPEX_WINE_RUN:-$(cd "$(dirname "$0")/../../.." && pwd)/scripts/wine-run}
[[ -n ${DISPLAY:-} ]] || { echo "screenshot.sh: no DISPLAY" >&2; exit 1; }
mkdir -p "$out"
for shot in "0 0 min" "1 0 min" "0 1 min" "0 0 760 560"; do
  read -r tab row size height <<<"$shot"
  sizing=(--row "$row")
  if [[ $size == min ]]; then
    png=$out/host-window-tab$tab-row$row.png
  else
    png=$out/host-window-tab$tab-row$row-${size}x$height.png
    sizing+=(--size "$size" "$height")
  fi
  ready=$out/.ready-$tab
  rm -f "$png" "$ready"
  $runner "$preview" --fragment --tab "$tab" "${sizing[@]}" --close-after 4000 --ready-file "Z:$ready" "Z:$fragment" &
  pid=$!
  for ((i = 0; i < 300; i++)); do [[ -e $ready ]] && break; sleep 0.1; done
  [[ -e $ready ]] || { echo "screenshot.sh: the window did not come up" >&2; kill "$pid"; exit 1; }
  sleep 0.5
  import -display "$DISPLAY" -window root "$png"
  wait "$pid" || { echo "screenshot.sh: dialog-preview failed" >&2; exit 1; }  # closes itself
  rm -f "$ready"
  # A real window has many colours; an empty screen has one.
  colours=$(identify -format '%k' "$png")
  ((colours > 8)) || { echo "screenshot.sh: $png looks empty ($colours colours)" >&2; exit 1; }
  echo "screenshot: $png ($colours colours)"
done
