#!/usr/bin/env bash
# Installs Zeitrechner from a build tree into a temporary root, as a package would lay it out
# under /usr, and checks what lands there: the files and nothing else, the relative command
# link, the icons' sizes, the launcher entry (desktop-file-validate) and the metainfo
# (appstreamcli, no network). Then it starts the installed program from the launcher's command
# on a private X server, opens its help with F1 and ends it through its menu.
# Usage: install.sh CMAKE BUILD_DIR
set -euo pipefail
cmake=$1
build=$2
source "$(dirname "$0")/../../scripts/private-display.sh"
work=$(mktemp -d)
trap 'kill "${app:-}" 2>/dev/null || true; stop_private_display; rm -rf "$work"' EXIT

id=de.tiv.Zeitrechner
root=$work/root
prefix=/usr
DESTDIR=$root "$cmake" --install "$build" --prefix "$prefix" --component program >"$work/install.log" ||
  { cat "$work/install.log" >&2; fail "cmake --install"; }
usr=$root$prefix

# Every file, link and folder below the prefix, and no other.
expected=(
  "bin d" "bin/Zeitrechner l"
  "lib d" "lib/zeitrechner d" "lib/zeitrechner/Zeitrechner f" "lib/zeitrechner/Zeitrechner.chm f"
  "share d" "share/applications d" "share/applications/$id.desktop f"
  "share/metainfo d" "share/metainfo/$id.metainfo.xml f"
  "share/icons d" "share/icons/hicolor d"
  "share/icons/hicolor/scalable d" "share/icons/hicolor/scalable/apps d"
  "share/icons/hicolor/scalable/apps/$id.svg f"
)
sizes=(16 22 24 32 48 64 128 256)
for size in "${sizes[@]}"; do
  expected+=("share/icons/hicolor/${size}x$size d" "share/icons/hicolor/${size}x$size/apps d"
    "share/icons/hicolor/${size}x$size/apps/$id.png f")
done
diff <(printf '%s\n' "${expected[@]}" | LC_ALL=C sort) \
  <(cd "$usr" && find . -mindepth 1 -printf '%P %y\n' | LC_ALL=C sort) >"$work/layout.diff" ||
  { cat "$work/layout.diff" >&2; fail "installed files differ from the layout (< expected, > found)"; }
[[ -z "$(find "$root" -mindepth 1 -maxdepth 1 ! -name "${prefix#/}")" ]] ||
  fail "files outside $prefix: $(ls "$root")"
echo "ok: layout"

# The program and its help side by side; the help is the one the build compiled.
exe=$usr/lib/zeitrechner/Zeitrechner
[[ -x "$exe" ]] || fail "$exe is not executable"
[[ "$(head -c 4 "$exe" | od -An -c | tr -d ' ')" == '177ELF' ]] || fail "$exe is no ELF file"
cmp -s "$usr/lib/zeitrechner/Zeitrechner.chm" "$build/app/Zeitrechner.chm" ||
  fail "the installed help differs from $build/app/Zeitrechner.chm"
[[ "$(head -c 4 "$usr/lib/zeitrechner/Zeitrechner.chm")" == ITSF ]] || fail "the help is no .chm"
# The command on the PATH: a relative link, so the tree works under any prefix.
link=$(readlink "$usr/bin/Zeitrechner")
[[ "$link" == ../lib/zeitrechner/Zeitrechner ]] || fail "bin/Zeitrechner links to '$link'"
[[ "$(readlink -f "$usr/bin/Zeitrechner")" == "$(readlink -f "$exe")" ]] || fail "dangling link"
echo "ok: program, help and command"

# The icons: the SVG as it is, and each PNG of its size (width and height from the IHDR chunk).
cmp -s "$usr/share/icons/hicolor/scalable/apps/$id.svg" "$(dirname "$0")/../../app/Zeitrechner.svg" ||
  fail "the scalable icon is not app/Zeitrechner.svg"
be32() { echo $((16#$(od -An -tx1 -j "$2" -N4 "$1" | tr -d ' \n'))); }
for size in "${sizes[@]}"; do
  png=$usr/share/icons/hicolor/${size}x$size/apps/$id.png
  [[ "$(od -An -tx1 -N8 "$png" | tr -d ' \n')" == 89504e470d0a1a0a ]] || fail "$png is no PNG"
  [[ "$(be32 "$png" 16)x$(be32 "$png" 20)" == "${size}x$size" ]] ||
    fail "$png is $(be32 "$png" 16)x$(be32 "$png" 20)"
done
echo "ok: icons ${sizes[*]} and scalable"

# The launcher entry. desktop-file-validate before 0.27 (Debian bookworm has 0.26) does not
# know Desktop Entry 1.5 and reports its version and its SingleMainWindow key as errors;
# those two lines are dropped, any other message fails the test.
desktop=$usr/share/applications/$id.desktop
desktop-file-validate "$desktop" >"$work/desktop.log" 2>&1 || true
grep -v -e 'value "1.5" for key "Version" in group "Desktop Entry" is not a known version' \
  -e 'file contains key "SingleMainWindow" in group "Desktop Entry", but keys extending the format should start with "X-"' \
  "$work/desktop.log" >"$work/desktop.rest" || true
[[ ! -s "$work/desktop.rest" ]] || { cat "$work/desktop.rest" >&2; fail "desktop-file-validate"; }
entry() { sed -n "/^\[Desktop Entry\]/,/^\[/s/^$1=//p" "$desktop"; }
[[ "$(entry Type)" == Application ]] || fail "Type=$(entry Type)"
[[ "$(entry Name)" == Zeitrechner ]] || fail "Name=$(entry Name)"
[[ "$(entry Comment)" == "Rechenprogramm zur Manipulation von Zeiten" ]] || fail "Comment=$(entry Comment)"
[[ "$(entry Categories)" == "Utility;Calculator;" ]] || fail "Categories=$(entry Categories)"
[[ "$(entry Icon)" == "$id" ]] || fail "Icon=$(entry Icon)"
[[ "$(entry StartupNotify)" == true ]] || fail "StartupNotify=$(entry StartupNotify)"
[[ "$(entry SingleMainWindow)" == true ]] || fail "SingleMainWindow=$(entry SingleMainWindow)"
[[ "$(entry Terminal)" == false ]] || fail "Terminal=$(entry Terminal)"
echo "ok: desktop entry"

# The metainfo: no error and no warning from the validator (infos and pedantic notes pass),
# and the names that tie it to the launcher entry and the program.
metainfo=$usr/share/metainfo/$id.metainfo.xml
appstreamcli validate --no-net --no-color "$metainfo" >"$work/metainfo.log" 2>&1 ||
  { cat "$work/metainfo.log" >&2; fail "appstreamcli validate"; }
! grep -E '^[EW]: ' "$work/metainfo.log" || fail "appstreamcli validate reported the lines above"
grep -q "<id>$id</id>" "$metainfo" || fail "metainfo id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
  fail "metainfo launchable"
grep -q '<release version="01.00" date="2025-03-29"' "$metainfo" || fail "metainfo release"
grep -q '<content_rating type="oars-1.1"' "$metainfo" || fail "metainfo content rating"
grep -q '<summary xml:lang="de">' "$metainfo" || fail "metainfo German summary"
grep -q '<p xml:lang="de">' "$metainfo" || fail "metainfo German description"
grep -Eq '<image type="source"[^>]*>https?://[^<]+\.png</image>' "$metainfo" ||
  fail "metainfo screenshot"
echo "ok: metainfo"

# The installed program, started from the launcher's command the way a launcher does it: the
# Exec line without field codes, looked up on a PATH that has the installed bin first. Its
# settings, single-instance lock and machine-wide hive go to folders of this test.
read -r -a command <<<"$(entry Exec)"
for i in "${!command[@]}"; do [[ "${command[i]}" == %? ]] && unset 'command[i]'; done
mkdir -m 0700 "$work/home" "$work/config" "$work/xdg" "$work/runtime"
start_private_display "$work"
env -u QT_QPA_PLATFORM PATH="$usr/bin:$PATH" HOME="$work/home" XDG_CONFIG_HOME="$work/config" \
  XDG_CONFIG_DIRS="$work/xdg" XDG_RUNTIME_DIR="$work/runtime" "${command[@]}" &
app=$!
# Generous: the sanitizer build starts slowly on a busy machine.
window_of() {
  local i
  for i in 1 2 3 4 5 6; do wait_for_window "$1" 2>/dev/null && return 0; done
  return 1
}
window=$(window_of Zeitrechner) || fail "no window titled Zeitrechner"
[[ "$(xdotool getwindowpid "$window")" == "$app" ]] || fail "the window is not the started program's"
[[ "$(readlink "/proc/$app/exe")" == "$exe" ]] ||
  fail "the program runs from $(readlink "/proc/$app/exe"), not $exe"
echo "ok: window of the installed program ($window)"

# F1 opens the help that lies beside the installed executable, in the program's own viewer.
xdotool windowactivate --sync "$window"
sleep 0.5
xdotool key --clearmodifiers F1
help=$(window_of "Zeitrechner – Hilfe") || fail "F1 opened no help window"
echo "ok: help window ($help)"

close_through_menu "$window" "$app" || fail "exit status $?"
app=""
echo "ok: ended through the menu"

# The close stamp went to the settings key named after the real executable.
hive=$work/config/tiv-registry/HKEY_CURRENT_USER.sqlite
[[ -f "$hive" ]] || fail "no settings hive at $hive"
sqlite3 "$hive" "SELECT path, name FROM registry" | grep -qx 'Software\\Tiv\\Zeitrechner\\Main|LastUsed' ||
  fail "no LastUsed stamp in $hive"
echo "ok: settings"
echo "PASS"
