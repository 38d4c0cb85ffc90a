# Shared by scripts/run and the end-to-end tests (sourced, not run): a private X server
# with a window manager, and the few things done with the program's window there.

# Starts Xvfb on a free display and openbox on it; exports DISPLAY. Work is a directory
# that lives as long as the display. Display numbers are drawn from a high range and taken
# only when no server answers there: other machines' servers may share the abstract socket
# names, which a lock file in our /tmp does not show.
start_private_display() {
  local work=$1 n i
  for n in $(shuf -i 200-899 -n 40); do
    [[ -e /tmp/.X$n-lock ]] && continue
    xdpyinfo -display ":$n" >/dev/null 2>&1 && continue
    # -noreset: the probe below is the first client, and its leaving must not reset the server.
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
    PRIVATE_XVFB_PID=$!
    for ((i = 0; i < 100; i++)); do
      kill -0 "$PRIVATE_XVFB_PID" 2>/dev/null || break
      if xdpyinfo -display ":$n" >/dev/null 2>&1; then
        export DISPLAY=":$n"
        start_window_manager "$work"
        return
      fi
      sleep 0.1
    done
    kill "$PRIVATE_XVFB_PID" 2>/dev/null || true
  done
  echo "no private X server could be started" >&2
  return 1
}

# Openbox, and the wait until it manages windows: a window mapped while it starts up may
# stay unmapped for good.
start_window_manager() {
  local work=$1 i
  openbox >"$work/openbox.log" 2>&1 &
  PRIVATE_OPENBOX_PID=$!
  for ((i = 0; i < 300; i++)); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    sleep 0.1
  done
  echo "openbox did not start:" >&2
  cat "$work/openbox.log" >&2
  return 1
}

# Ends a test with its reason.
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Settings and runtime folders of a test's own under Work, so that a test never reads or
# writes the developer's settings and two tests never meet in one runtime folder.
use_private_user_dirs() {
  local work=$1
  mkdir -p "$work/config" "$work/runtime"
  chmod 700 "$work/runtime"
  export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
}

stop_private_display() {
  [[ -n "${PRIVATE_OPENBOX_PID:-}" ]] && kill "$PRIVATE_OPENBOX_PID" 2>/dev/null || true
  [[ -n "${PRIVATE_XVFB_PID:-}" ]] && kill "$PRIVATE_XVFB_PID" 2>/dev/null || true
  wait 2>/dev/null || true
}

# Prints the id of the visible window titled exactly Title, once it is there.
wait_for_window() {
  local title=$1 id="" i
  for ((i = 0; i < 100; i++)); do
    id=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n1 || true)
    [[ -n "$id" ]] && { echo "$id"; return 0; }
    sleep 0.1
  done
  echo "no window titled $title" >&2
  return 1
}

# Saves a picture of the window with its frame.
screenshot_window() {
  local id=$1 file=$2 left=0 right=0 top=0 bottom=0 info x y w h extents
  info=$(xwininfo -id "$id")
  x=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
  y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
  w=$(sed -n 's/.*Width: *//p' <<<"$info")
  h=$(sed -n 's/.*Height: *//p' <<<"$info")
  extents=$(xprop -id "$id" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ' ')
  [[ -n "$extents" ]] && IFS=, read -r left right top bottom <<<"$extents"
  import -window root -crop "$((w + left + right))x$((h + top + bottom))+$((x - left))+$((y - top))" \
    +repage "$file"
}

# Ends the program the way a user does: "Datei", "Beenden" from the keyboard. Waits for
# the process Pid; returns its exit status.
close_through_menu() {
  local id=$1 pid=$2 i
  xdotool windowactivate --sync "$id" key --clearmodifiers alt+d
  sleep 0.3
  xdotool key b
  for ((i = 0; i < 100; i++)); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  wait "$pid"
}
