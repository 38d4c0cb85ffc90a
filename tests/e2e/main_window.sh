#!/usr/bin/env bash
# The real Zeitrechner on a private X server: operands typed with xdotool, operation,
# resolution and the IAAF box changed from the keyboard, results read back through Ctrl+C
# and the clipboard. Usage: main_window.sh EXECUTABLE
set -euo pipefail
exe=$1
source "$(dirname "$0")/../../scripts/private-display.sh"
work=$(mktemp -d)
trap 'kill "${app:-}" 2>/dev/null || true; stop_private_display; rm -rf "$work"' EXIT

# Presses Ctrl+C until the clipboard holds Expected (the result follows within a tick).
expect_result() {
  local expected=$1 got="" i
  for ((i = 0; i < 25; i++)); do
    xdotool key --clearmodifiers ctrl+c
    got=$(timeout 5 xclip -o -selection clipboard 2>/dev/null || true)
    [[ "$got" == "$expected" ]] && { echo "ok: $expected"; return 0; }
    sleep 0.2
  done
  fail "result '$got', expected '$expected'"
}

# Replaces the text of the focused operand field.
retype() {
  xdotool key --clearmodifiers End shift+Home Delete
  [[ -z "$1" ]] || xdotool type --delay 30 "$1"
}

use_private_user_dirs "$work"
start_private_display "$work"
"$exe" &
app=$!
window=$(wait_for_window Zeitrechner) || fail "no window titled Zeitrechner"
xdotool windowactivate --sync "$window"
sleep 0.5

# The window keeps its client area between 389 x 97 and 412 x 119 (the menu bar added).
hints=$(xprop -id "$window" WM_NORMAL_HINTS)
min=$(sed -n 's/.*minimum size: \([0-9]*\) by \([0-9]*\).*/\1 \2/p' <<<"$hints")
max=$(sed -n 's/.*maximum size: \([0-9]*\) by \([0-9]*\).*/\1 \2/p' <<<"$hints")
read -r min_w min_h <<<"$min"
read -r max_w max_h <<<"$max"
[[ $min_w == 389 && $max_w == 412 && $((max_h - min_h)) == 22 ]] ||
  fail "size limits $min / $max"

# The start: "8:14,54" + "0,23", focus in the first operand.
expect_result "8:14,77"
# Operation "-" and then "*" in the drop-down list.
xdotool key Tab Down
expect_result "8:14,31"
xdotool key Down
expect_result "1:53,74"
# The IAAF box rounds up to the next hundredth.
xdotool key Tab Tab Tab Tab space
expect_result "1:53,75"
# Resolution "hh:mm:ss,t": the next tenth.
xdotool key shift+Tab Up
expect_result "1:53,8"
# Round-up off, back to the first operand; letters and blanks typed there are dropped.
xdotool key Tab space Tab
retype "1:0x0 "
xdotool key Tab Tab
retype "2:00"
xdotool key F6
expect_result "-1:00,0"
# 596:31:23,647 + 0,002 wraps around past the largest count.
xdotool key shift+Tab shift+Tab
retype "596:31:23,647"
xdotool key Tab Tab
retype "0,002"
xdotool key F5 Tab Tab Down Down
expect_result "-596:31:23,647"
# An empty operand empties the result; the copy then puts an empty text there.
xdotool key shift+Tab shift+Tab
retype ""
expect_result ""

close_through_menu "$window" "$app" || fail "exit status $?"
app=""
echo "PASS"
