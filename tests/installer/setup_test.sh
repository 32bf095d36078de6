#!/usr/bin/env bash
# Velmi-setup.exe in a Wine prefix of its own, run silently as an
# administrator would: an install; one over it refused by a Velmi that does
# not end; one with /NOSTARTUP that closes the running Velmi, which saves its
# note, and starts it again; the uninstall, which must leave the note. A first
# start of Velmi sets the sign-in start.
#   setup_test.sh <folder with Velmi-setup.exe and velmictl.exe> <product version>
set -uo pipefail
bin=$(cd "$1" && pwd)
version=$2
WINEPREFIX=$(mktemp -d /tmp/velmi-setup-prefix.XXXXXX)
export WINEPREFIX
trap 'wineserver -k >/dev/null 2>&1; rm -rf "$WINEPREFIX"' EXIT
failures=0
fail() { echo "FAIL: $*" && failures=$((failures + 1)); }
wineboot -i </dev/null >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1

dir="$WINEPREFIX/drive_c/Program Files/Tolvane/Velmi"
windir='C:\Program Files\Tolvane\Velmi'
link="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Velmi.lnk"
entry='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmi'
# The control's class, ProgID and type library.
control=('HKCR\CLSID\{54DD4E12-414C-43D0-AC10-11456DD3A2F0}' 'HKCR\Ruviruve.Nuvender'
    'HKCR\TypeLib\{F4D0E718-B6B7-4066-BD1C-E2BD66DE48FC}')
note="kept through setup"
query() { wine reg query "$@" </dev/null 2>/dev/null | tr -d '\r'; }
# The notes, in whichever root Velmi chose for its store.
notes() { query 'HKCU\Software\Tolvane' /s; query 'HKLM\Software\Tolvane' /s; }
setup() { wine "$bin/Velmi-setup.exe" /S "$@" </dev/null >/dev/null 2>&1; }
machine='HKLM\Software\Tolvane\Velmi'
run='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
velmictl() { wine "$bin/velmictl.exe" "$@" </dev/null >/dev/null; }

# 1. A silent install: the files, a shortcut that starts in the install folder
# (the link keeps that folder as a text of its own), the uninstall entry, and
# the control registered from there.
setup || fail "setup exited $?"
ls "$dir"/{Velmi.exe,Nuv.ocx,VelmiReg.htm,laser.wav,uninstall.exe} >/dev/null || fail "files are missing"
strings -el "$link" | grep -qxF "$windir" || fail "no shortcut that starts in the install folder"
values=$(query "$entry")
for value in "DisplayName    REG_SZ    Velmi" "DisplayVersion    REG_SZ    $version" \
    "Publisher    REG_SZ    Tolvane" "InstallLocation    REG_SZ    $windir" \
    "UninstallString    REG_SZ    \"$windir\\uninstall.exe\"" "DisplayIcon    REG_SZ    $windir\\Velmi.exe"; do
    grep -qF "$value" <<<"$values" || fail "the uninstall entry lacks: $value"
done
query "${control[0]}\\InprocServer32" | grep -qF "$windir\\Nuv.ocx" || fail "not registered from there"
query "$machine" | grep -qF "StartAtSignIn    REG_DWORD    0x1" || fail "no sign-in start for all users"

# 2. The installed Velmi, started in its folder, is stopped (as if hung): setup
# gives up after its wait, exits with 2 and replaces no file. Let go, Velmi
# ends on setup's request.
(cd "$dir" && exec wine Velmi.exe </dev/null >/dev/null 2>&1) & velmi=$!
velmictl wait 60 || fail "the installed Velmi did not start"
query "$run" | grep -qF "Velmi    REG_SZ    \"$windir\\Velmi.exe\" /minimized" || fail "no Run value"
before=$(cd "$dir" && stat -c '%n %z' -- *)
kill -STOP $velmi; setup; status=$?; kill -CONT $velmi; wait $velmi
[ "$status" -eq 2 ] || fail "setup with a stuck Velmi exited $status, not 2"
[ "$(cd "$dir" && stat -c '%n %z' -- *)" = "$before" ] || fail "setup with a stuck Velmi changed files"

# 3. Started again, Velmi gets a note; setup closes it, which saves the note,
# and starts it again. Then the uninstaller, which works from a copy of itself,
# so the folder goes later.
(cd "$dir" && wine Velmi.exe </dev/null >/dev/null 2>&1 &)
velmictl type "$note" || fail "Velmi did not start again"
setup /NOSTARTUP || fail "setup over the running Velmi exited $?"
notes | grep -qF "$note" || fail "the note was not saved"
query "$machine" | grep -qF "StartAtSignIn    REG_DWORD    0x0" || fail "/NOSTARTUP was not kept"
velmictl wait 60 || fail "setup did not start Velmi again"
velmictl close 60 || fail "Velmi did not close"
wine "$dir/uninstall.exe" /S </dev/null >/dev/null 2>&1
for _ in $(seq 150); do [ -e "$dir" ] && sleep 0.2; done

# 4. Everything went but the note.
[ -e "$dir" ] && fail "the install folder is left: $(ls "$dir")"
[ -e "$link" ] && fail "the shortcut is left"
for key in "$entry" "${control[@]}" "$machine /v StartAtSignIn" "$run /v Velmi"; do
    # Unquoted: a value is named after "/v"; no key here holds a blank.
    wine reg query $key </dev/null >/dev/null 2>&1 && fail "$key is left"
done
notes | grep -qF "$note" || fail "the note went with Velmi"
[ "$failures" -eq 0 ] && echo "PASS"
exit "$failures"
