#!/usr/bin/env bash
# Starts the program in a real window under Xvfb: it shows, refuses a second
# instance, asks before it closes (Cancel keeps it open, OK closes it), and
# stores its settings.
# Exit 77 (skipped) where Xvfb is not installed.
set -u
program=$1
driver=$2
command -v xvfb-run >/dev/null || { echo "xvfb-run is not installed"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -m 700 "$work/run"
export XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/state XDG_RUNTIME_DIR=$work/run
export XDG_PICTURES_DIR=$work/Pictures QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY

xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  "$0" & pid=$!
  fail() { echo "$1"; kill $pid 2>/dev/null; exit 1; }
  "$1" wait "Fotoferry v2.0" || fail "the window did not show"
  # A second instance is refused with a message and ends.
  "$0" & second=$!
  "$1" key Error Return || fail "no refusal of a second instance"
  for i in $(seq 50); do kill -0 $second 2>/dev/null || break; sleep 0.1; done
  kill -0 $second 2>/dev/null && { kill $second; fail "the second instance did not end"; }
  kill -0 $pid 2>/dev/null || fail "the first instance ended too"
  "$1" close "Fotoferry v2.0" || fail "the window went away"
  "$1" key Fotoferry Escape || fail "no close question"
  sleep 0.5
  kill -0 $pid 2>/dev/null || fail "Cancel closed the program"
  "$1" close "Fotoferry v2.0" 5 || fail "the window went away"
  "$1" key Fotoferry Return || fail "no close question the second time"
  for i in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  kill -0 $pid 2>/dev/null && fail "OK did not close the program"
  wait $pid
' "$program" "$driver" || exit 1

hive=$XDG_CONFIG_HOME/fotoferry/HKEY_CURRENT_USER.reg
grep -q '"ImportTo"="'"$XDG_PICTURES_DIR"'"' "$hive" || { echo "settings not stored:"; cat "$hive"; exit 1; }
grep -q '\[QuickFolders\]' "$XDG_CONFIG_HOME/fotoferry/fotoferry.ini" || { echo "quick selections not stored"; exit 1; }
echo "window shown, second instance refused, close asked twice, settings stored"
