# shellcheck shell=bash
# Sourced by the benchmarks, not run: a virtual X display of their own.
#
# quorrix_start_xvfb LOG: starts Xvfb on a free display (1280x800, 24 bits, 96 dpi, no TCP),
# exports DISPLAY and sets xvfb_pid; Xvfb's output goes to LOG. The caller kills $xvfb_pid
# when it is done. Fails when Xvfb does not tell its display within 10 s.
quorrix_start_xvfb() {
  local log=$1 fd display
  # -displayfd writes the number of the display it took to the descriptor.
  exec {fd}<> <(:)
  Xvfb -displayfd "$fd" -screen 0 1280x800x24 -dpi 96 -nolisten tcp >"$log" 2>&1 &
  # shellcheck disable=SC2034  # the caller's
  xvfb_pid=$!
  if ! read -r -t 10 display <&"$fd"; then
    exec {fd}>&-
    echo "Xvfb did not start (see $log)" >&2
    return 1
  fi
  exec {fd}>&-
  export DISPLAY=":$display"
}
