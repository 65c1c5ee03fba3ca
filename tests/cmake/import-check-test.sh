#!/usr/bin/env bash
# import-check-test.sh OBJDUMP TABLE TARGET WIN95_KERNEL32 BINARY...: the import check
# passes the shipped binaries against the real table (and, for the 32-bit target, the
# list of Windows 95's KERNEL32 exports), and fails, naming the function, when the table
# lacks an import, says it is newer than the target, or (for the 32-bit target) needs a
# newer comctl32 or a KERNEL32 export that Windows 95 lacks; for the 32-bit target it
# fails without that list too.
set -uo pipefail
objdump=$1 table=$2 target=$3 win95=$4; shift 4
check=$(dirname "$0")/../../cmake/import-check
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0 passes=0

expect() {  # expect pass|fail WHAT PATTERN -- import-check arguments
  local want=$1 what=$2 pattern=$3; shift 4
  local out rc
  out=$("$check" "$objdump" "$@" 2>&1); rc=$?
  if { [ "$want" = pass ] && [ $rc -eq 0 ]; } ||
     { [ "$want" = fail ] && [ $rc -ne 0 ] && grep -q -- "$pattern" <<<"$out"; }; then
    passes=$((passes + 1))
  else
    failures=$((failures + 1))
    echo "FAILED: $what (exit $rc):"; sed 's/^/  /' <<<"$out"
  fi
}

imports_of() {
  "$objdump" -p "$1" | sed -n '/The Import Tables/,/The Export Tables/p' |
    awk '/DLL Name:/ { dll = tolower($3); next }
         dll != "" && NF >= 3 && $1 ~ /^[0-9a-f]+$/ && $NF ~ /^[A-Za-z_]/ { print dll, $NF }'
}

for binary in "$@"; do
  name=$(basename "$binary")
  expect pass "$name against the table" "" -- "$binary" "$table" "$target" "$win95"

  # One KERNEL32 import the binary really has, taken out of the table, then made newer.
  function=$(imports_of "$binary" | awk '$1 == "kernel32.dll" { print $2; exit }')
  grep -v "^kernel32.dll  *$function " "$table" >"$scratch/missing.table"
  expect fail "$name with $function missing from the table" "$function: not in the import table" \
    -- "$binary" "$scratch/missing.table" "$target" "$win95"
  sed "s/^\(kernel32.dll  *$function  *\)[^ ]*/\1Vista/" "$table" >"$scratch/newer.table"
  expect fail "$name with $function first in Vista" "$function: first in Windows Vista" \
    -- "$binary" "$scratch/newer.table" "$target" "$win95"

  if [ "$target" = 95 ]; then
    expect fail "$name without the list of Windows 95's KERNEL32 exports" "exports (.*) is missing" \
      -- "$binary" "$table" 95 "$scratch/none.txt"
    grep -vx "$function" <(imports_of "$binary" | awk '$1 == "kernel32.dll" { print $2 }') >"$scratch/win95.txt"
    expect fail "$name with $function not exported by Windows 95" "$function: not exported by Windows 95" \
      -- "$binary" "$table" 95 "$scratch/win95.txt"
    shell=$(imports_of "$binary" | awk '$1 == "shell32.dll" { print $2; exit }')
    if [ -n "$shell" ]; then
      sed "s/^\(shell32.dll  *$shell  *[^ ]*  *\)4.00/\14.71/" "$table" >"$scratch/shell.table"
      expect fail "$name with $shell from shell32 4.71" "$shell: needs shell32.dll 4.71" \
        -- "$binary" "$scratch/shell.table" 95 "$win95"
    fi
  fi
done
echo "import check: $passes passed, $failures failed"
[ $failures -eq 0 ]
