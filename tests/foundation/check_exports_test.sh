#!/usr/bin/env bash
# The export check passes a DLL's exact table only: check_exports_test.sh CHECK OBJDUMP DLL, where
# DLL exports OnHookCallbackComplete, RetrievePluginDebug and RetrievePluginXMLDialog.
set -u
check=$1 objdump=$2 dll=$3
failures=0
# expected outcome|names given to the check
cases=(
  "pass|OnHookCallbackComplete RetrievePluginDebug RetrievePluginXMLDialog"
  "pass|RetrievePluginXMLDialog OnHookCallbackComplete RetrievePluginDebug"
  "fail|OnHookCallbackComplete RetrievePluginXMLDialog"
  "fail|OnHookCallbackComplete RetrievePluginDebug RetrievePluginXMLDialog OnHookMouse"
  "fail|OnHookCallbackComplete RetrievePluginDebug@8 RetrievePluginXMLDialog"
  "fail|"
)
for entry in "${cases[@]}"; do
  want=${entry%%|*}
  read -r -a names <<<"${entry#*|}"
  if "$check" "$objdump" "$dll" "${names[@]}" >/dev/null 2>&1; then got=pass; else got=fail; fi
  if [[ $got != "$want" ]]; then
    echo "FAIL: the check gave $got for [${names[*]}], expected $want"
    failures=$((failures + 1))
  fi
done
"$check" "$objdump" /nonexistent.dll >/dev/null 2>&1 && { echo "FAIL: a missing file passed"; failures=$((failures + 1)); }
((failures == 0)) && echo "ok: ${#cases[@]} tables and a missing file"
exit $((failures > 0))
