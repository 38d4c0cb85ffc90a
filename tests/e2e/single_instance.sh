#!/usr/bin/env bash
# One instance at a time, with the real Zeitrechner on a private X server with openbox: a
# second start brings the running window forward (restored when minimized) and ends
# without a stamp; a crashed instance leaves no lock behind; of 20 simultaneous starts one
# runs; another user runs an instance of their own. Usage: single_instance.sh EXECUTABLE
set -euo pipefail
exe=$1
source "$(dirname "$0")/../../scripts/private-display.sh"
work=$(mktemp -d)
pids=()
trap 'kill -9 "${pids[@]}" 2>/dev/null || true; stop_private_display; rm -rf "$work"' EXIT

start() {
  "$exe" &
  pids+=($!)
  last=$!
}
alive() { kill -0 "$1" 2>/dev/null; }
count_windows() { xdotool search --onlyvisible --name '^Zeitrechner$' 2>/dev/null | wc -l; }
minimized() { xprop -id "$1" WM_STATE 2>/dev/null | grep -q 'Iconic'; }
stamp_rows() {
  sqlite3 "$XDG_CONFIG_HOME/tiv-registry/HKEY_CURRENT_USER.sqlite" \
    "SELECT count(*) FROM registry WHERE name = 'LastUsed'" 2>/dev/null || echo 0
}

# Waits up to 3 s for the process to end; prints its exit status.
ends_within_3s() {
  local pid=$1 i
  for ((i = 0; i < 30; i++)); do
    alive "$pid" || { wait "$pid"; return $?; }
    sleep 0.1
  done
  return 124
}

use_private_user_dirs "$work"
start_private_display "$work"

start
first=$last
window=$(wait_for_window Zeitrechner) || fail "no first window"
sleep 0.5

# --- a second start raises the first window and ends ---
start
ends_within_3s "$last" || fail "second start did not end with status 0 ($?)"
[[ $(xdotool getwindowname "$window") == Zeitrechner ]] || fail "first window retitled"
[[ $(xdotool getactivewindow) == "$window" ]] || fail "first window not on top"
[[ $(count_windows) == 1 ]] || fail "$(count_windows) windows titled Zeitrechner"
[[ $(stamp_rows) == 0 ]] || fail "the second start wrote a stamp"
echo "ok: second start handed over and ended"

# --- a minimized first window is restored ---
xdotool windowminimize --sync "$window"
for ((i = 0; i < 30; i++)); do minimized "$window" && break; sleep 0.1; done
minimized "$window" || fail "could not minimize the first window"
start
ends_within_3s "$last" || fail "second start did not end ($?)"
for ((i = 0; i < 30; i++)); do minimized "$window" || break; sleep 0.1; done
minimized "$window" && fail "first window still minimized"
echo "ok: minimized window restored"

# --- after a crash of the first instance, a new start runs as the first ---
kill -9 "$first"
wait "$first" 2>/dev/null || true
start
first=$last
window=$(wait_for_window Zeitrechner) || fail "no window after the crash"
sleep 1
alive "$first" || fail "new start after a crash did not keep running"
echo "ok: no stale lock after kill -9"

# --- of 20 starts at the same moment, one runs ---
kill -9 "$first"
wait "$first" 2>/dev/null || true
crowd=()
for ((i = 0; i < 20; i++)); do
  "$exe" &
  crowd+=($!)
  pids+=($!)
done
sleep 4
running=0
for pid in "${crowd[@]}"; do alive "$pid" && running=$((running + 1)); done
[[ $running == 1 ]] || fail "$running of 20 simultaneous starts still run"
[[ $(count_windows) == 1 ]] || fail "$(count_windows) windows after 20 starts"
echo "ok: one of 20 simultaneous starts runs"

# --- another user runs an instance of their own ---
if [[ $(id -u) == 0 ]]; then
  other="$work/other"
  mkdir -p "$other/config" "$other/runtime"
  chmod 700 "$other/runtime"
  chown -R 65534:65534 "$other"
  chmod o+x "$work"
  HOME="$other" XDG_CONFIG_HOME="$other/config" XDG_RUNTIME_DIR="$other/runtime" \
    setpriv --reuid=65534 --regid=65534 --clear-groups -- "$exe" &
  pids+=($!)
  stranger=$!
  for ((i = 0; i < 50; i++)); do [[ $(count_windows) == 2 ]] && break; sleep 0.1; done
  [[ $(count_windows) == 2 ]] || fail "another user's start shows no window of its own"
  alive "$stranger" || fail "another user's start ended"
  echo "ok: another user runs their own instance"
fi
echo "PASS"
