#!/usr/bin/env bash
# Starts the real quillfind on a virtual X display, drives it with keys as a
# user would (open the search dialog, type a search, run it, leave with
# Alt+F4), keeps a screenshot of the result, and checks what the program
# wrote to its configuration file on the way out.
#   tests/gui/xvfb_check.sh QUILLFIND_BINARY [SCREENSHOT.png]
# Exit 77 (skipped) when Xvfb or xdotool is missing.
set -euo pipefail
bin=$1
shot=${2:-$(dirname "$bin")/xvfb-check.png}
for tool in Xvfb xdotool import; do
  command -v "$tool" >/dev/null || { echo "xvfb_check: $tool missing, skipped"; exit 77; }
done

work=$(mktemp -d)
display=:$((90 + RANDOM % 100))
cleanup() {
  [[ -n "${app:-}" ]] && kill "$app" 2>/dev/null || true
  [[ -n "${xvfb:-}" ]] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Shift-JIS fixture: "東京タワー Tokyo tower" and a line without the word.
mkdir -p "$work/docs"
printf '\x93\x8c\x8b\x9e\x83\x5e\x83\x8f\x81\x5b Tokyo tower\r\nno match here\r\n' \
  > "$work/docs/memo.txt"
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache
export XDG_RUNTIME_DIR=$work/run && mkdir -m 700 -p "$XDG_RUNTIME_DIR"

Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display QT_QPA_PLATFORM=xcb
for _ in $(seq 200); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done

"$bin" >"$work/app.log" 2>&1 &
app=$!
main=$(xdotool search --sync --onlyvisible --name '^Quillfind$' | head -1)
xdotool windowfocus --sync "$main"

# Keys go to the window that has the focus (there is no window manager).
wait_focus() {
  for _ in $(seq 400); do [[ $(xdotool getwindowfocus 2>/dev/null) == "$1" ]] && return; sleep 0.05; done
  echo "xvfb_check: window $1 did not get the focus"; exit 1
}
xdotool key ctrl+f
dialog=$(xdotool search --sync --onlyvisible --name '^検索$' | head -1)
wait_focus "$dialog"
# The search string has the focus; Tab moves to the folder, then the file name.
xdotool type --delay 20 'Tokyo'
xdotool key Tab
xdotool type --delay 10 "$work/docs"
xdotool key Tab
xdotool type --delay 20 '*.txt'
xdotool key Return

for _ in $(seq 400); do
  xdotool search --onlyvisible --name '^検索$' >/dev/null 2>&1 || break; sleep 0.05
done
xdotool windowfocus --sync "$main"
wait_focus "$main"
sleep 1
import -window root "$shot"
xdotool key alt+F4
for _ in $(seq 200); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$app" 2>/dev/null; then
  echo "xvfb_check: the program did not end on Alt+F4"; exit 1
fi
wait "$app" || { echo "xvfb_check: the program failed:"; cat "$work/app.log"; exit 1; }
app=

cfg=$XDG_CONFIG_HOME/VeloSoft/Quillfind.cfg
[[ -f "$cfg" ]] || { echo "xvfb_check: no configuration file written"; exit 1; }
grep -a -q '^schStr=Tokyo' "$cfg" || { echo "xvfb_check: search string not saved"; cat "$cfg"; exit 1; }
grep -a -q "^schDir=$work/docs" "$cfg" || { echo "xvfb_check: folder not saved"; exit 1; }
echo "xvfb_check: passed; screenshot $shot"
