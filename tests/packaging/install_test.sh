#!/usr/bin/env bash
# Checks the packages as a user meets them: the zip's six files, and under Wine
# (a display and prefix of its own) the MSI's install, Programs and Features
# entry and shortcut, the folder on the system's PATH, the installed programs
# running, a newer revision replacing it, and an uninstall that leaves nothing
# but the user's settings.
#   install_test.sh <packages-dir> <windows-build-dir (programs for the newer package)>
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
packages=$(realpath "$1")
build=$(realpath "$2")
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# A definition of res/version.h, without its quotes.
define_of() {
  sed -n "s/^#define $1 \"\\{0,1\\}\\([^\"]*\\)\"\\{0,1\\}\$/\\1/p" "$root/res/version.h"
}
first_three=$(define_of SORVANE_VERSION_MAJOR).$(define_of SORVANE_VERSION_MINOR)
first_three=$first_three.$(define_of SORVANE_VERSION_BUILD)
version=$first_three.$(define_of SORVANE_VERSION_REVISION)
newer_version=$first_three.$(($(define_of SORVANE_VERSION_REVISION) + 1))
publisher=$(define_of SORVANE_COMPANY_NAME)
caption=$(define_of SORVANE_CAPTION)
zip="$packages/sorvane-$version-win64.zip"
msi="$packages/sorvane-$version-x64.msi"

work=$(mktemp -d "$packages/install-test.XXXXXX")
source "$root/scripts/wine-env.sh"
trap 'wine_env_stop; rm -rf "$work"' EXIT

# The files of either package, in name order.
package_files=(LICENSE-eff-wordlist.txt LICENSE.txt README.txt sorvane-cli-completion.ps1
  sorvane-cli.exe sorvane.exe)

echo "the zip: six files, the texts with CR LF line ends"
names=$(cmake -E tar tf "$zip" | sort | tr '\n' ' ')
[ "$names" = "${package_files[*]} " ] || fail "the zip holds: $names"
mkdir "$work/zip"
(cd "$work/zip" && cmake -E tar xf "$zip")
for text in README.txt LICENSE.txt LICENSE-eff-wordlist.txt sorvane-cli-completion.ps1; do
  [ -s "$work/zip/$text" ] && ! grep -qv $'\r$' "$work/zip/$text" ||
    fail "$text is missing, empty or has lines without CR LF"
done
tr -d '\r' <"$work/zip/LICENSE-eff-wordlist.txt" | cmp -s - "$root/cli/words/LICENSE-eff-wordlist.txt" ||
  fail "LICENSE-eff-wordlist.txt is not the word list's licence notice"
grep -qF '. "$env:ProgramFiles\Sorvane\sorvane-cli-completion.ps1"' "$work/zip/README.txt" ||
  fail "README.txt does not tell how to load the PowerShell completion"

echo "the MSI: a per-machine install whose shortcut goes in the common Start menu"
# ALLUSERS=1 makes ProgramMenuFolder the all-users Programs folder; without it
# Windows would install for the user alone, shortcut and all.
msiinfo export "$msi" Property | tr -d '\r' | grep -qx $'ALLUSERS\t1' ||
  fail "the MSI does not set ALLUSERS=1"
(($(msiinfo suminfo "$msi" | sed -n 's/^Source: \([0-9]*\).*/\1/p') & 8)) &&
  fail "the MSI's summary marks it as a per-user package"
msiinfo export "$msi" Shortcut | tr -d '\r' | awk -F'\t' 'NR > 3 { print $2 }' |
  grep -qx ProgramMenuFolder || fail "the shortcut is not in ProgramMenuFolder"
# Wine's installer takes the folder out of PATH on uninstall whether or not the
# row asks for it ("-"); Windows does so only when asked.
msiinfo export "$msi" Environment | tr -d '\r' |
  grep -qxF $'PATH\t=-*PATH\t[~];[INSTALLDIR]\tConsoleProgram' ||
  fail "the MSI does not append its folder to the system's PATH and take it out on uninstall"

wine_env_start "$work/prefix"
# The menu builder would copy the Start-menu entry into this machine's own menus.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
program_dir="$WINEPREFIX/drive_c/Program Files/Sorvane"
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
environment='HKLM\System\CurrentControlSet\Control\Session Manager\Environment'

# Output of a Wine command goes through a file: a pipe could stay open in
# Wine's background processes.
# A crash Wine reports is a failure status, whatever the program's own.
wine_output() {
  "$@" </dev/null >"$work/out.txt" 2>"$work/err.txt"
  local status=$? crash
  tr -d '\r' <"$work/out.txt"
  if crash=$(wine_crash_lines "$work/err.txt"); then
    echo "FAIL: $* crashed: $crash" >&2
    [ "$status" -ne 0 ] || status=70
  fi
  return $status
}
msiexec() { wine_output wine msiexec "$@" /qn >/dev/null; }
product_code() { msiinfo export "$1" Property | tr -d '\r' | sed -n 's/^ProductCode\t//p'; }
registry_value() {
  wine_output wine reg query "$1" /v "$2" | sed -n "s/^ *$2 \\{4\\}REG_[A-Z_]* \\{4\\}//p"
}
installed_products() {
  wine_output wine reg query "$uninstall" /s | grep -c '^ *DisplayName    REG_SZ    Sorvane$'
}
# A per-machine shortcut belongs in the common Start menu. The package asks for
# it there (checked below, in its tables); this Wine's installer resolves
# ProgramMenuFolder to the user's menu even with ALLUSERS=1 (its log shows
# both), so here either menu counts.
shortcuts() { find "$WINEPREFIX/drive_c" -path '*/Start Menu/Programs/*' -iname '*sorvane*'; }
check_installed() {
  local file link
  for file in "${package_files[@]}"; do
    [ -f "$program_dir/$file" ] || fail "$1: $file is not in Program Files\\Sorvane"
  done
  link=$(shortcuts)
  [ -n "$link" ] && [ "$(wc -l <<<"$link")" -eq 1 ] &&
    grep -qaF 'C:\Program Files\Sorvane\sorvane.exe' "$link" ||
    fail "$1: no one Start-menu shortcut to the program (found: ${link:-none})"
  [ "$(installed_products)" -eq 1 ] ||
    fail "$1: $(installed_products) products in Programs and Features"
}
# The folders of the system's PATH, one a line. Wine's installer leaves an
# empty entry where it takes a folder out; an empty entry names no folder.
path_folders() { registry_value "$environment" PATH | tr ';' '\n' | grep -v '^$'; }
# The PATH is the one before the install with the program's folder once at its
# end: <when>
check_path() {
  [ "$(path_folders)" = "$original_path"$'\n''C:\Program Files\Sorvane\' ] ||
    fail "$1: the system's PATH is '$(registry_value "$environment" PATH)'"
}
# The product's entry in Programs and Features: <package> <expected version>
check_entry() {
  local key
  key="$uninstall\\$(product_code "$1")"
  [ "$(registry_value "$key" DisplayVersion)" = "$2" ] &&
    [ "$(registry_value "$key" Publisher)" = "$publisher" ] ||
    fail "Programs and Features shows $(registry_value "$key" DisplayVersion)" \
      "by '$(registry_value "$key" Publisher)', expected $2 by '$publisher'"
}

original_path=$(path_folders)
[ -n "$original_path" ] || fail "no system PATH before the install"

echo "install $version: files, shortcut, Programs and Features, icon, PATH"
msiexec /i "$(wine_output winepath -w "$msi")" || { fail "msiexec /i exited with $?"; exit 1; }
check_installed "after the install"
check_entry "$msi" "$version"
icon=$(wine_output wine reg query 'HKLM\Software\Classes\Installer\Products' /s |
  sed -n 's/^ *ProductIcon    REG_SZ    //p')
cmp -s "$(wine_output winepath -u "${icon:-none}")" "$root/res/sorvane.ico" ||
  fail "Programs and Features has not the program's icon (ProductIcon '$icon')"
check_path "after the install"

echo "the installed programs run"
cli_output=$(wine_output wine "$program_dir/sorvane-cli.exe" --version) ||
  fail "sorvane-cli --version exited with $?"
[[ "$cli_output" == "$version" ]] || fail "sorvane-cli --version printed '$cli_output'"
# A new console finds the command line by name, from any folder.
cli_output=$(cd "$work" && wine_output wine cmd /c sorvane-cli --version) ||
  fail "sorvane-cli in a new console exited with $?"
[[ "$cli_output" == "$version" ]] || fail "sorvane-cli in a new console printed '$cli_output'"
timeout 120 wine "$program_dir/sorvane.exe" </dev/null >"$work/program.txt" 2>&1 &
program=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --name "^$caption\$" | head -n 1)
if [ -n "$window" ]; then
  # Keyboard focus follows the pointer here; Alt+F4 is the dialog's close.
  xdotool mousemove --window "$window" 60 40 sleep 0.5 key alt+F4
else
  fail "the installed program opened no window"
fi
wait "$program"
status=$?
[ "$status" -eq 2 ] || fail "the installed program exited with $status, expected 2"
crash=$(wine_crash_lines "$work/program.txt") && fail "the installed program crashed: $crash"

echo "install $newer_version over it: one product remains"
"$root/packaging/make-packages.sh" --version "$newer_version" "$build" "$work/newer" >/dev/null ||
  { fail "the newer package could not be made"; exit 1; }
newer_msi="$work/newer/sorvane-$newer_version-x64.msi"
msiexec /i "$(wine_output winepath -w "$newer_msi")" ||
  fail "msiexec /i of the newer package exited with $?"
check_installed "after the upgrade"
check_entry "$newer_msi" "$newer_version"
check_path "after the upgrade"

echo "uninstall: nothing left but the user's settings"
msiexec /x "$(product_code "$newer_msi")" || fail "msiexec /x exited with $?"
left=$(find "$WINEPREFIX/drive_c" -iname '*sorvane*')
[ -z "$left" ] || fail "left after the uninstall: $left"
[ "$(installed_products)" -eq 0 ] || fail "Programs and Features still lists Sorvane"
[ "$(path_folders)" = "$original_path" ] ||
  fail "the uninstall left the system's PATH as '$(registry_value "$environment" PATH)'"
wine_output wine reg query 'HKCU\Software\Tavolin\Sorvane' >/dev/null ||
  fail "the uninstall removed the user's settings"

if [ "$failures" -ne 0 ]; then
  echo "$failures package check(s) failed"
  exit 1
fi
echo "package checks passed"
