#!/usr/bin/env bash
# bash completes sorvane-cli's options and their values. The completion
# function is driven as bash's programmable completion calls it: the words of
# the line in COMP_WORDS, the word being completed in COMP_CWORD, its answer
# read from COMPREPLY.
#   bash_completion_test.sh <completion script>   sources the script
#   bash_completion_test.sh --installed           lets bash-completion's loader
#                                                 find the installed one, as it
#                                                 does at the first Tab
# Not under "set -u": completion functions run in the user's interactive
# shell, where unset variables are empty.
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

if [ "$1" = --installed ]; then
  # Only the system's folders, not the user's.
  export BASH_COMPLETION_USER_DIR=/nonexistent XDG_DATA_DIRS=/usr/share
  source /usr/share/bash-completion/bash_completion || { echo "FAIL: no bash-completion"; exit 1; }
  _completion_loader sorvane-cli
else
  source "$1" || { echo "FAIL: $1 does not load"; exit 1; }
fi
# "complete -F _function sorvane-cli"
function=$(complete -p sorvane-cli 2>/dev/null | sed -n 's/.* -F \([^ ]*\) .*/\1/p')
[ -n "$function" ] || { echo "FAIL: no completion function for sorvane-cli"; exit 1; }

folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
touch "$folder/words.txt" "$folder/other.txt"

# The replies, one a line, to completing the last of the words given.
complete_line() {
  COMP_WORDS=("$@")
  COMP_CWORD=$(($# - 1))
  COMP_LINE="$*"
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  "$function" sorvane-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}" 2>/dev/null
  printf '%s\n' "${COMPREPLY[@]}" | sort
}
# bash splits "--type=h" at "=" into three words.
expect() {
  local expected=$1 replies
  shift
  replies=$(complete_line sorvane-cli "$@")
  [ "$replies" = "$expected" ] || fail "sorvane-cli $* completes to '${replies//$'\n'/ }', expected '${expected//$'\n'/ }'"
}
expect --symbols --sym
expect --type= --ty
expect hex --type = h
expect $'json\nplain\ntsv' -f ''
expect "$folder/words.txt" --word-list = "$folder/wo"

if [ "$failures" -ne 0 ]; then
  echo "$failures bash completion check(s) failed"
  exit 1
fi
echo "bash completes the options of sorvane-cli, their values and file names"
