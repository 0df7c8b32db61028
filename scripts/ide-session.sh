# shellcheck shell=bash
# Pieces of the scripts that drive the stand-in IDE under Wine (run-demo, release-shots); sourced
# by them inside a Wine session (DISPLAY set, the prefix made).

# A Linux path as Wine sees it. Wine maps Z: to /; winepath would start the Wine server with the
# caller's output.
windows_path() { local path=$1; printf 'Z:%s' "${path//\//\\}"; }

# start_ide IDE_EXE TOOL_FOLDER LOG: starts the stand-in IDE in the background, with the tool
# host of TOOL_FOLDER as its tool, started as the IDE starts (no TOOL_FOLDER: no tool). Its Wine
# process is IDE_PID.
start_ide() {
  local program=$1 tool_folder=$2 log=$3 arguments=()
  [[ -n $tool_folder ]] && arguments=(--tool-folder "$(windows_path "$tool_folder")" --start-tool)
  wine "$program" "${arguments[@]}" </dev/null >"$log" 2>&1 &
  # shellcheck disable=SC2034  # the caller's
  IDE_PID=$!
}

# screenshot FILE [GEOMETRY]: the screen, or its part WIDTHxHEIGHT+X+Y (Windows' screen
# coordinates are the display's: Wine's windows are not managed).
screenshot() {
  local file=$1 geometry=${2:-}
  if [[ -n $geometry ]]; then
    import -display "$DISPLAY" -window root -crop "$geometry" +repage "$file"
  else
    import -display "$DISPLAY" -window root "$file"
  fi
}
