#!/usr/bin/env bash
# Reads the headers of Windows programs and fails, naming the program and the
# mitigation, when one is missing:
#   64-bit: DYNAMIC_BASE, HIGH_ENTROPY_VA, NX_COMPAT; 32-bit: DYNAMIC_BASE, NX_COMPAT
#   the relocations that let the loader move the program (ASLR needs them)
#   no section both writable and executable
#   the stack protector's canary, when the program keeps its symbols
#   check-hardening.sh <program.exe>...
set -uo pipefail
objdump=x86_64-w64-mingw32-objdump # reads 32-bit programs too
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

for program in "$@"; do
  headers=$("$objdump" -p "$program") || { fail "$program: no Windows program"; continue; }
  case $(sed -n 's/^Magic[[:space:]]*\([0-9a-f]*\).*/\1/p' <<<"$headers") in
  020b) wanted=(DYNAMIC_BASE HIGH_ENTROPY_VA NX_COMPAT) ;;
  010b) wanted=(DYNAMIC_BASE NX_COMPAT) ;;
  *) fail "$program: neither PE32 nor PE32+"; continue ;;
  esac
  # The flags are listed one a line under DllCharacteristics.
  flags=$(sed -n '/^DllCharacteristics/,/^[A-Z]/p' <<<"$headers")
  for flag in "${wanted[@]}"; do
    grep -qw "$flag" <<<"$flags" || fail "$program: no $flag"
  done
  grep -q 'relocations stripped' <<<"$headers" && fail "$program: relocations stripped"
  # objdump shows a section that may be executed as CODE, and one that may not
  # be written as READONLY.
  for section in $("$objdump" -h -w "$program" | awk '/CODE/ && !/READONLY/ { print $2 }'); do
    fail "$program: section $section is writable and executable"
  done
  symbols=$("$objdump" -t "$program" 2>/dev/null)
  protector=""
  if [ -n "$symbols" ]; then
    grep -Eq ' _?__stack_chk_guard$' <<<"$symbols" ||
      fail "$program: no stack protector (its canary, __stack_chk_guard, is not linked in)"
    protector=", stack protector"
  fi
  echo "$program: checked ${wanted[*]}, relocations, no writable code$protector"
done

if [ "$failures" -ne 0 ]; then
  echo "$failures hardening check(s) failed"
  exit 1
fi
