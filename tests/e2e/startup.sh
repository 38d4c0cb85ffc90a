#!/usr/bin/env bash
# Start and close of the real Zeitrechner on a private X server: where the window lands
# (with and without a window manager), the last-used stamp written at every close, a store
# that cannot be written, and help on F1. Usage: startup.sh EXECUTABLE
set -euo pipefail
exe=$1
source "$(dirname "$0")/../../scripts/private-display.sh"
work=$(mktemp -d)
trap 'kill "${app:-}" 2>/dev/null || true; chmod -R u+w "$work" 2>/dev/null; stop_private_display; rm -rf "$work"' EXIT

# Root may write any file: the program runs without that right, as a user's program does.
start_app() {
  if [[ $(id -u) == 0 ]]; then
    setpriv --bounding-set=-dac_override,-dac_read_search,-fowner -- "$1" &
  else
    "$1" &
  fi
  app=$!
}

hive() { echo "$XDG_CONFIG_HOME/tiv-registry/HKEY_CURRENT_USER.sqlite"; }
stamp() {
  sqlite3 "$(hive)" "SELECT CAST(data AS TEXT) FROM registry
    WHERE path = 'Software\\Tiv\\Zeitrechner\\Main' AND name = 'LastUsed'"
}
count_windows() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | wc -l; }

# The outer frame's left and top edge and its height.
outer_geometry() {
  local id=$1 info x y h extents left=0 right=0 top=0 bottom=0
  info=$(xwininfo -id "$id")
  x=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
  y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
  h=$(sed -n 's/.*Height: *//p' <<<"$info")
  extents=$(xprop -id "$id" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ' ')
  [[ -n "$extents" ]] && IFS=, read -r left right top bottom <<<"$extents"
  echo "$((x - left)) $((y - top)) $((h + top + bottom))"
}

# The start tick puts the window 18 pixels from the left, 20 above the bottom of the
# 1024 x 768 screen.
expect_bottom_left() {
  local id=$1 left top height i
  for ((i = 0; i < 50; i++)); do
    read -r left top height < <(outer_geometry "$id")
    [[ $left == 18 && $top == $((768 - height - 20)) ]] && { echo "ok: window at $left,$top"; return 0; }
    sleep 0.1
  done
  fail "window at $left,$top with outer height $height"
}

wait_gone() {
  local title=$1 i
  for ((i = 0; i < 50; i++)); do
    [[ $(count_windows "$title") == 0 ]] && return 0
    sleep 0.1
  done
  return 1
}

use_private_user_dirs "$work"
start_private_display "$work"

# --- the start position, and the stamp written on "Beenden" ---
start_app "$exe"
window=$(wait_for_window Zeitrechner) || fail "no main window"
expect_bottom_left "$window"
close_through_menu "$window" "$app" || fail "exit status $?"
app=""
today=$(date +%d.%m.%Y)
[[ $(stamp) =~ ^$today( [0-9]{2}:[0-9]{2}:[0-9]{2})?$ ]] || fail "stamp '$(stamp)'"
echo "ok: stamp $(stamp)"

# --- a store that cannot be written keeps the window open; the next close writes ---
before=$(stamp)
chmod 0400 "$(hive)"
chmod 0500 "$(dirname "$(hive)")"
start_app "$exe"
window=$(wait_for_window Zeitrechner) || fail "no main window"
sleep 0.5
xdotool windowactivate --sync "$window" key --clearmodifiers alt+d
sleep 0.3
xdotool key b
for ((i = 0; i < 50; i++)); do
  [[ $(count_windows Zeitrechner) == 2 ]] && break
  sleep 0.1
done
[[ $(count_windows Zeitrechner) == 2 ]] || fail "no error box beside the window"
kill -0 "$app" || fail "the program ended"
xdotool key Return
chmod 0700 "$(dirname "$(hive)")"
chmod 0600 "$(hive)"
sleep 1.1
close_through_menu "$window" "$app" || fail "exit status $?"
app=""
[[ $(stamp) != "$before" ]] || fail "stamp not written after the store became writable"
echo "ok: refused close kept the window; the next close wrote $(stamp)"

# --- F1 opens the help on its start page; closing the program closes the help ---
start_app "$exe"
window=$(wait_for_window Zeitrechner) || fail "no main window"
xdotool windowactivate --sync "$window" key F1
help=$(wait_for_window "Zeitrechner – Hilfe") || fail "no help window"
close_through_menu "$window" "$app" || fail "exit status $?"
app=""
wait_gone "Zeitrechner – Hilfe" || fail "help window left open"
echo "ok: help opened and closed with the program"

# --- without its help file, F1 says where it was expected ---
mkdir "$work/bin"
cp "$exe" "$work/bin/Zeitrechner"
start_app "$work/bin/Zeitrechner"
window=$(wait_for_window Zeitrechner) || fail "no main window"
xdotool windowactivate --sync "$window" key F1
wait_for_window "Keine Hilfe" >/dev/null || fail "no 'Keine Hilfe' box"
xdotool key Return
wait_gone "Keine Hilfe" || fail "box stayed"
close_through_menu "$window" "$app" || fail "exit status $?"
app=""
echo "ok: Keine Hilfe"

# --- without a window manager the window lands in the same place ---
kill "$PRIVATE_OPENBOX_PID"
wait "$PRIVATE_OPENBOX_PID" 2>/dev/null || true
PRIVATE_OPENBOX_PID=""
start_app "$exe"
window=$(wait_for_window Zeitrechner) || fail "no main window"
expect_bottom_left "$window"
kill "$app"
wait "$app" 2>/dev/null || true
app=""
echo "PASS"
