#!/usr/bin/env bash
# Runs the screen reader Orca against Velmora on a virtual display, with a session bus and
# AT-SPI of its own, walks through Velmora by keyboard and prints what Orca speaks: set A's box
# values one by one, a second set made with the count's up arrow and chosen, the kind buttons,
# the scale fields, and set B's value list typed as 3, 5, 2,5, 4, 40, 6 and read line by line
# upwards; then, after F6, the chart explored value by value: Right to set B, up through its
# values and down again, Home and End, Orca's "where am I" and Left back to set A. It checks
# that Orca spoke each of set B's values as it was reached. Between the walk's parts it asks the
# fields and the value list, as a screen reader reading by word does, for the pieces at their
# ends through AT-SPI, and checks that Velmora answers and stays idle.
#
# Not part of the test command: Orca is a heavy client whose timing varies. Builds Velmora
# into the given folder (build/ unless given) first; installs Orca, Xvfb, xdotool and the
# AT-SPI Python bindings where they are missing (Debian and Ubuntu).
#
#     tools/orca.sh [build folder]
#
# VELMORA_ORCA_LOG=file keeps Orca's whole debug log there.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

if [ "${VELMORA_ORCA_INSIDE:-}" != 1 ]; then
    source tools/setup.sh
    velmora_install_packages orca
    velmora_build "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo --target velmora
    export VELMORA_ORCA_INSIDE=1
    exec dbus-run-session -- "$0" "$build"
fi

work=$(mktemp -d)
pids=()
stop() { # the last started first, the display last; a hung one is killed
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null || true
        timeout 5 tail --pid="${pids[i]}" -f /dev/null || kill -KILL "${pids[i]}" 2>/dev/null || true
        wait "${pids[i]}" 2>/dev/null || true
    done
    [ -z "${VELMORA_ORCA_LOG:-}" ] || cp "$work/orca.log" "$VELMORA_ORCA_LOG"
    rm -rf "$work"
}
trap stop EXIT

number=90
while [ -e "/tmp/.X$number-lock" ]; do
    number=$((number + 1))
done
display=:$number
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY=$display
sleep 1
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/at-spi.log" 2>&1 &
pids+=($!)
sleep 1

# Orca with preferences of its own (no first-run questions), speaking to nothing: its debug
# file records every phrase.
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
orca --replace --user-prefs "$work/orca" --debug-file "$work/orca.log" >/dev/null 2>&1 &
pids+=($!)
sleep 4

QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb "$build/velmora" >/dev/null 2>&1 &
velmora=$!
pids+=($velmora)
sleep 4

window=$(xdotool search --sync --name '^Daten$' | head -1)
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
sleep 2

# key <keys...>: one key at a time, with time for Orca to speak.
key() {
    for k in "$@"; do
        xdotool key --clearmodifiers "$k"
        sleep 1.2
    done
}

marker() { # a step of the walk, at the time of Orca's log
    echo "$(date +%H:%M:%S.%6N) - VELMORA STEP: $1" >>"$work/steps"
}

# ask: every piece at, before and after the end offset of each field shown, through AT-SPI as
# a screen reader reading by word asks, each answered within a few seconds; with the field's
# text and its attribute run at the start.
ask() {
    timeout 60 /usr/bin/python3 - <<'EOF'
import os, threading
import pyatspi

def fields(node, depth=0):
    if node is None or depth > 12:
        return
    try:
        if node.getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY):
            yield node
        for child in node:
            yield from fields(child, depth + 1)
    except Exception:
        return

desktop = pyatspi.Registry.getDesktop(0)
app = next(a for a in desktop if a is not None and a.name.lower() == "velmora")
kinds = [("CHAR", pyatspi.TEXT_BOUNDARY_CHAR), ("WORD_START", pyatspi.TEXT_BOUNDARY_WORD_START),
         ("WORD_END", pyatspi.TEXT_BOUNDARY_WORD_END),
         ("SENTENCE_START", pyatspi.TEXT_BOUNDARY_SENTENCE_START),
         ("LINE_START", pyatspi.TEXT_BOUNDARY_LINE_START)]

def ask(field):
    text = field.queryText()
    end = text.characterCount
    run = text.getAttributeRun(0, False)
    pieces = []
    for name, kind in kinds:
        at = text.getTextAtOffset(end, kind)
        text.getTextBeforeOffset(end, kind)
        text.getTextAfterOffset(end, kind)
        pieces.append("%s %r" % (name, at[0]))
    print("  %s %r: attribute run at 0: %d-%d; at the end (%d): %s"
          % (field.name, text.getText(0, -1), run[1], run[2], end, ", ".join(pieces)), flush=True)

for field in fields(app):
    if field.getState().contains(pyatspi.STATE_SHOWING):
        name = field.name
        done = threading.Event()
        threading.Thread(target=lambda: (ask(field), done.set()), daemon=True).start()
        if not done.wait(10):
            print("NO ANSWER from %s within 10 s" % name, flush=True)
            os._exit(1)
EOF
}

# The data window opens with the focus on the first box value, Maximum.
marker "Tab through the box values from Maximum"
key Tab Tab Tab Tab Tab
answers="After the box values:
$(ask || echo "NO ANSWER")"
marker "Tab to the count's up arrow and press it: a second set"
key Tab Tab space
marker "Back to the set buttons, Down to set B"
key shift+Tab Down
marker "Tab past the count and the kind buttons to the scale fields"
key Tab Tab Tab Tab Tab Tab Tab Tab
marker "Back to set B's value list, type 3 5 2,5 4 40 6, go up line by line and down again"
key shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab
for value in 3 5 2,5 4 40 6; do
    [ "$value" = 3 ] || key Return
    xdotool type --delay 200 "$value"
done
sleep 1
key Up Up Up Down Down Down
answers="$answers
After the value list:
$(ask || echo "NO ANSWER")"
marker "F6 to the chart, Right to set B"
key F6 Right
marker "Up through set B's values to the top and once more"
key Up Up Up Up
marker "Down to the bottom and once more"
key Down Down Down Down Down Down Down Down
marker "Home, End"
key Home End
marker "Orca's Where am I (KP_Enter), Left to set A"
key KP_Enter Left
# Orca writes its log in blocks: a few presses of Shift, which Velmora ignores, write out
# the rest of the walk.
marker "end"
for _ in $(seq 20); do
    xdotool key shift
    sleep 0.1
done
sleep 2

# Idle: the CPU time Velmora uses over three seconds after the questions.
cpu() { awk '{ print $14 + $15 }' "/proc/$velmora/stat"; }
before=$(cpu)
sleep 3
after=$(cpu)

spoken=$(grep -E "^[0-9:.]+ - SPEECH OUTPUT: '" "$work/orca.log" | cat - "$work/steps" |
    sort -s -k1,1 | sed -e '/VELMORA STEP: end$/,$d' -e "s/^.*VELMORA STEP: /-- /" \
    -e "s/^.*SPEECH OUTPUT: /  /" -e "s/{'established': False}$//")
echo "== What Orca spoke =="
echo "$spoken"
echo "== AT-SPI questions at the end offsets of the fields shown =="
echo "$answers"
ticks=$((after - before))
echo "== Velmora used $ticks clock ticks of CPU in the 3 s after the questions =="
if [ "$ticks" -gt 30 ] || echo "$answers" | grep -q "NO ANSWER"; then
    echo "Velmora did not answer, or did not stay idle" >&2
    exit 1
fi

# Each step through set B is spoken once, as the value reached; a step that stays at an end
# moves no focus, and Orca, as at the end of any list, says nothing.
set_b=$(echo "$spoken" | sed -n "/^-- F6 to the chart/,/^-- Orca's Where am I/p" |
    sed -n "s/^  '\(Satz B, .*\)'$/\1/p")
expected="Satz B, Datenreihe, 6 Werte, Median 4,5.
Satz B, oberes Quartil 6.
Satz B, oberer Whisker bis 6.
Satz B, Ausreißer 40, 1 von 1.
Satz B, oberer Whisker bis 6.
Satz B, oberes Quartil 6.
Satz B, Median 4,5.
Satz B, Mittelwert 10,08.
Satz B, unteres Quartil 3.
Satz B, unterer Whisker bis 2,5.
Satz B, Ausreißer 40, 1 von 1.
Satz B, unterer Whisker bis 2,5."
if [ "$set_b" != "$expected" ]; then
    echo "Orca did not speak set B's values as expected:" >&2
    diff <(echo "$expected") <(echo "$set_b") >&2 || true
    exit 1
fi
