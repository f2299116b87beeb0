#!/usr/bin/env bash
# Builds the Debian package from a built tree and checks what it holds: the file list, the
# owners and modes, the control fields, and that every library the programs load belongs to a
# package the Depends line names (so `apt install ./quorrix_*.deb` brings all of them).
# Usage: scripts/check-package.sh BUILD_DIR [OUT_DIR]
set -euo pipefail

build=$(cd "${1:?usage: check-package.sh BUILD_DIR [OUT_DIR]}" && pwd)
out=${2:-$build/package}
rm -rf "$out"
mkdir -p "$out"

if ! (cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1); then
  cat "$out/cpack.log"
  echo "check-package: cpack failed"
  exit 1
fi
debs=("$out"/quorrix_*.deb)
[ -f "${debs[0]}" ] || { echo "check-package: cpack made no quorrix_*.deb"; exit 1; }
deb=${debs[0]}
echo "package: $deb ($(stat -c %s "$deb") bytes)"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
ok() { echo "ok: $*"; }

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = quorrix ] && ok "Package: quorrix" || fail "Package is '$(field Package)'"
[ "$(field Version)" != "" ] && ok "Version: $(field Version)" || fail "no Version"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] && ok "Architecture: $(field Architecture)" ||
  fail "Architecture is '$(field Architecture)'"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"

depends=$(field Depends)
echo "Depends: $depends"
# Package names of a Depends line, one per line ("a (>= 1), b | c" -> a b c).
dep_names() { tr ',|' '\n\n' <<<"$1" | sed 's/(.*)//; s/:any//; s/^ *//; s/ *$//' | sed '/^$/d'; }
for want in libqt6widgets6 libqt6gui6 libqt6core6 fonts-wqy-zenhei pkexec libc6 libstdc++6; do
  if dep_names "$depends" | grep -x "$want" >/dev/null; then ok "Depends names $want"; else fail "Depends lacks $want"; fi
done

# File list: path, owner, mode.
listing=$(dpkg-deb --fsys-tarfile "$deb" | tar -tvf -)
has_file() {  # has_file PATH MODE
  local line
  line=$(awk -v p="./${1#/}" '$6 == p' <<<"$listing")
  if [ -z "$line" ]; then fail "missing $1"; return; fi
  local mode owner
  mode=$(awk '{print $1}' <<<"$line")
  owner=$(awk '{print $2}' <<<"$line")
  [ "$mode" = "$2" ] && [ "$owner" = root/root ] && ok "$1 $mode $owner" || fail "$1 is $mode $owner, want $2 root/root"
}
has_file /usr/bin/quorrix -rwxr-xr-x
has_file /usr/bin/quorrix-systeminfo -rwxr-xr-x
has_file /usr/bin/quorrix-report -rwxr-xr-x
has_file /usr/share/applications/quorrix.desktop -rw-r--r--
has_file /usr/libexec/quorrix/quorrix-probe -rwxr-xr-x
has_file /usr/share/polkit-1/actions/org.quorrix.probe.policy -rw-r--r--
has_file /usr/share/man/man1/quorrix-report.1.gz -rw-r--r--
for size in 16 32 48; do
  has_file /usr/share/icons/hicolor/${size}x${size}/apps/quorrix.png -rw-r--r--
done
has_file /usr/share/icons/hicolor/scalable/apps/quorrix.svg -rw-r--r--
stray=$(awk '{print $6}' <<<"$listing" |
  grep -v -e '^\./$' -e '^\./usr/$' -e '^\./usr/\(bin\|share\)/' -e '^\./usr/libexec/\(quorrix/\(quorrix-probe\)\?\)\?$' ||
  true)
[ -z "$stray" ] && ok "everything is below /usr/bin, /usr/share and /usr/libexec/quorrix" ||
  fail "files outside /usr/bin, /usr/share and /usr/libexec/quorrix: $stray"
# Nothing of the package is setuid or setgid: root comes only through pkexec and the action.
setid=$(awk '$1 ~ /[sS]/ {print $6}' <<<"$listing")
[ -z "$setid" ] && ok "no setuid or setgid file" || fail "setuid or setgid: $setid"

root=$out/root
dpkg-deb -x "$deb" "$root"

# The probe's polkit action: pkexec runs the installed probe under it, with an administrator's
# password every time, and keeps no display. The window's old whole-program action is gone.
policy=$root/usr/share/polkit-1/actions/org.quorrix.probe.policy
grep -q '<annotate key="org.freedesktop.policykit.exec.path">/usr/libexec/quorrix/quorrix-probe</annotate>' "$policy" &&
  ok "polkit exec.path is /usr/libexec/quorrix/quorrix-probe" ||
  fail "polkit exec.path is not /usr/libexec/quorrix/quorrix-probe"
[ "$(grep -c '<action id=' "$policy")" = 1 ] && ok "the policy holds one action" || fail "the policy holds $(grep -c '<action id=' "$policy") actions"
grep -q 'policykit.exec.allow_gui' "$policy" && fail "polkit allow_gui is set for the probe" || ok "polkit allow_gui is not set"
for key in allow_any allow_inactive allow_active; do
  grep -q "<$key>auth_admin</$key>" "$policy" && ok "polkit $key is auth_admin" || fail "polkit $key is not auth_admin"
done
[ ! -e "$root/usr/share/polkit-1/actions/org.quorrix.quorrix.policy" ] && ok "no action for the window" ||
  fail "the window's own polkit action is still packaged"
# The probe takes no argument (exit 2, nothing on stdout) and links no Qt.
probe=$root/usr/libexec/quorrix/quorrix-probe
out=$("$probe" --help 2>/dev/null) && status=0 || status=$?
[ "$status" = 2 ] && [ -z "$out" ] && ok "the probe refuses an argument (exit 2)" || fail "the probe with an argument: exit $status, stdout '$out'"
objdump -p "$probe" | grep -q 'NEEDED.*Qt' && fail "the probe links Qt" || ok "the probe links no Qt"
if command -v xmllint >/dev/null; then
  xmllint --noout "$policy" && ok "policy is well-formed XML" || fail "policy is not well-formed XML"
fi

desktop=$root/usr/share/applications/quorrix.desktop
if command -v desktop-file-validate >/dev/null; then
  # hints are advice; warnings and errors fail
  if desktop-file-validate --no-hints "$desktop"; then ok "desktop entry validates"; else fail "desktop entry does not validate"; fi
fi
entry() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(entry Name)" = Quorrix ] && ok "Name=Quorrix" || fail "Name is '$(entry Name)'"
[ "$(entry Categories)" = "System;HardwareSettings;" ] && ok "Categories" || fail "Categories is '$(entry Categories)'"
[ -x "$root/usr/bin/$(entry Exec | cut -d' ' -f1)" ] && ok "Exec names a packaged program" || fail "Exec=$(entry Exec) is not in the package"
LC_ALL=C grep -qP '^GenericName=.*[\x80-\xff]' "$desktop" && ok "Chinese GenericName" || fail "GenericName is not Chinese"
LC_ALL=C grep -qP '^Comment=.*[\x80-\xff]' "$desktop" && ok "Chinese Comment" || fail "Comment is not Chinese"

if command -v groff >/dev/null; then
  warnings=$(zcat "$root/usr/share/man/man1/quorrix-report.1.gz" | groff -man -ww -z 2>&1)
  [ -z "$warnings" ] && ok "man page formats without warnings" || fail "man page: $warnings"
fi

# Every library the programs load must come from a package that Depends names, directly or
# through those packages' own dependencies (followed through the installed packages' control
# data, so no package lists are needed).
declare -A closure=()
queue=($(dep_names "$depends"))
while [ ${#queue[@]} -gt 0 ]; do
  pkg=${queue[0]}
  queue=("${queue[@]:1}")
  [ -z "${closure[$pkg]:-}" ] || continue
  closure[$pkg]=1
  deps=$(dpkg-query -W -f='${Depends}, ${Pre-Depends}' "$pkg" 2>/dev/null) || continue
  queue+=($(dep_names "$deps"))
done
for program in "$root"/usr/bin/* "$root"/usr/libexec/quorrix/*; do
  before=$failures
  while read -r lib; do
    # awk reads the whole list: leaving early would kill ldconfig with SIGPIPE, which
    # pipefail turns into a silent exit of this script.
    path=$(ldconfig -p | awk -v l="$lib" '$1 == l && /x86-64/ && !found {print $NF; found = 1}')
    [ -n "$path" ] || { fail "$(basename "$program") needs $lib, which is not installed here"; continue; }
    owner=$(dpkg -S "$path" 2>/dev/null || dpkg -S "$(readlink -f "$path")" 2>/dev/null || true)
    owner=$(head -n1 <<<"$owner" | cut -d: -f1)
    if [ -z "$owner" ]; then
      fail "$(basename "$program") needs $lib ($path), which no package owns"
    elif [ -z "${closure[$owner]:-}" ]; then
      fail "$(basename "$program") needs $lib from $owner, which Depends does not bring"
    fi
  done < <(objdump -p "$program" | awk '$1 == "NEEDED" {print $2}')
  [ "$failures" -ne "$before" ] || ok "libraries of $(basename "$program") come with Depends"
done

if [ "$failures" -eq 0 ]; then echo "check-package: the package is complete"; else echo "check-package: $failures problem(s)"; fi
[ "$failures" -eq 0 ]
