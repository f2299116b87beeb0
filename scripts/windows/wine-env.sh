# The Wine bench that runs the Windows build's programs. Sourced, not run:
#   . scripts/windows/wine-env.sh && quorrix_wine_start
# Sets up the environment of the bench (below), then quorrix_wine_start makes the prefix
# ready and its server running. wine-exe, the ctest emulator, does both before each program.
#
# WINEPREFIX: build/wine-prefix of this checkout, shared by every Windows build folder
#   (QUORRIX_WINEPREFIX names another). Made on first use, about 4 s; reused after.
# LANG/LC_ALL zh_CN.UTF-8: Wine's ANSI code page is then 936, as on a Chinese Windows.
#   (The Windows step of scripts/test.sh runs in a subshell, so the Linux steps keep theirs.)
# WINEDEBUG=-all: no Wine diagnostics on stderr; tests read the programs' own output.

quorrix_wine_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export WINEPREFIX=${QUORRIX_WINEPREFIX:-$quorrix_wine_root/build/wine-prefix}
export WINEARCH=win64
export WINEDEBUG=-all
# No Mono or Gecko installer on a new prefix: the programs need neither.
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=zh_CN.UTF-8
export LC_ALL=zh_CN.UTF-8
# Seconds the server (and Wine's services) stay after the last program, so a test run pays
# the start-up once, yet nothing lingers long after it.
quorrix_wine_persist=${QUORRIX_WINE_PERSIST:-600}

# Makes the prefix if it is missing, and starts its server if none runs. Wine's background
# processes (services.exe, explorer.exe, winedevice.exe) are started here, with their
# input and output on /dev/null: started by a test instead, they would inherit ctest's pipes,
# and ctest would wait for them to exit after every test. Safe to call from parallel tests.
quorrix_wine_start() {
  if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf-\?8'; then
    echo "wine-env: the zh_CN.UTF-8 locale is missing (scripts/deps.sh windows makes it)" >&2
    return 1
  fi
  mkdir -p "$(dirname "$WINEPREFIX")" || return 1
  # The lock's descriptor (9) is closed for every Wine process started here: the server and
  # the services outlive this call, and would otherwise hold the lock for as long as they run.
  (
    flock 9 || exit 1
    local ready=$WINEPREFIX/.quorrix-ready
    if [ ! -f "$ready" ]; then  # none yet, or one whose making was cut short
      wineserver -k </dev/null >/dev/null 2>&1 9>&-
      rm -rf "$WINEPREFIX" && mkdir -p "$WINEPREFIX" || exit 1
    fi
    # Exit status 0: a new server, whose services start with the next program; 2: one runs.
    local started=0
    wineserver -p"$quorrix_wine_persist" </dev/null >/dev/null 2>&1 9>&- && started=1
    if [ ! -f "$ready" ]; then
      wineboot -i </dev/null >/dev/null 2>&1 9>&- || exit 1
      # Without a window manager, an unmanaged window makes every GUI exit wait 2 s.
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
        </dev/null >/dev/null 2>&1 9>&- || exit 1
      touch "$ready"
    elif [ "$started" -eq 1 ]; then
      wine cmd /c exit </dev/null >/dev/null 2>&1 9>&- || exit 1
    fi
    exit 0
  ) 9>"$WINEPREFIX.lock"
}

# Stops the prefix's server and every Wine process in it (no other prefix is touched).
quorrix_wine_stop() {
  wineserver -k </dev/null >/dev/null 2>&1 || true
}
