#!/usr/bin/env bash
# Checks that every .exe below a Windows build folder imports only DLLs that Windows never looks
# for beside the program, so that a DLL planted in the download folder cannot load into the
# elevated program, and the program runs without any DLL copied beside it (it is linked with
# -static). Allowed are:
#   - the Known DLLs: the DLLs named under
#     HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\KnownDLLs on Windows 10 and 11 (listed
#     below), which the loader maps from the system folder only, and ntdll.dll, which the
#     kernel maps into every process before any search;
#   - comctl32.dll, only in a program whose embedded manifest asks for the side-by-side
#     Microsoft.Windows.Common-Controls assembly (version 6), which the loader takes from the
#     system's assembly store.
# Every allowed DLL must also be one that Wine ships, so the programs run on the test bench.
#   scripts/windows/check-imports.sh BUILD_DIR
set -uo pipefail

dir=${1:?usage: check-imports.sh BUILD_DIR}
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}
system_dlls=${QUORRIX_WINE_DLL_DIR:-/usr/lib/x86_64-linux-gnu/wine/x86_64-windows}
[ -d "$system_dlls" ] || { echo "no Wine DLL folder $system_dlls" >&2; exit 1; }

# The KnownDLLs list of Windows 10 and 11 (x64), lower case; the entries of the key that name
# emulation layers (_wow64cpu, _wowarmhw, _xtajit) are left out, as no program imports them.
known_dlls=(
  advapi32.dll clbcatq.dll combase.dll comdlg32.dll coml2.dll difxapi.dll gdi32.dll
  gdiplus.dll imagehlp.dll imm32.dll kernel32.dll msctf.dll msvcrt.dll normaliz.dll nsi.dll
  ole32.dll oleaut32.dll psapi.dll rpcrt4.dll sechost.dll setupapi.dll shcore.dll shell32.dll
  shlwapi.dll user32.dll wldap32.dll wow64.dll wow64win.dll ws2_32.dll
  ntdll.dll
)
declare -A known=()
for dll in "${known_dlls[@]}"; do known[$dll]=1; done

mapfile -t programs < <(find "$dir" -name '*.exe' -type f -not -path '*/CMakeFiles/*' | sort)
[ ${#programs[@]} -gt 0 ] || { echo "no .exe below $dir" >&2; exit 1; }

bad=0
for exe in "${programs[@]}"; do
  dlls=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p') || {
    echo "$exe: objdump failed"
    bad=1
    continue
  }
  [ -n "$dlls" ] || { echo "$exe: no imports found"; bad=1; }
  while read -r dll; do
    [ -n "$dll" ] || continue
    lower=${dll,,}
    if [ "$lower" = comctl32.dll ]; then
      # The manifest is stored as text in the program's resources.
      if ! grep -aq 'name="Microsoft.Windows.Common-Controls"' "$exe"; then
        echo "$exe: imports $dll without a manifest naming the Common-Controls assembly," \
          "so Windows would look for it beside the program"
        bad=1
      fi
    elif [ -z "${known[$lower]:-}" ]; then
      echo "$exe: imports $dll, which is not a Known DLL: Windows would look for it beside the program"
      bad=1
    fi
    if [ ! -e "$system_dlls/$lower" ]; then
      echo "$exe: imports $dll, which Windows does not provide"
      bad=1
    fi
  done <<<"$dlls"
done
[ "$bad" -eq 0 ] && echo "${#programs[@]} programs import Known DLLs (and comctl32 through their manifest) only"
exit "$bad"
