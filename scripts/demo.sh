#!/usr/bin/env bash
# make demo: Velmora on a simulated bench. The tag programmer and the portable
# RF reader are velmora-programmer-sim and velmora-reader-sim on
# pseudo-terminals, Comm Port 1 and Comm Port 2 point at them, and the program
# runs in a scratch start directory whose options already name both ports, so
# it starts connected. Everything is stopped and the links removed when the
# window closes or on Ctrl-C.
#
#   scripts/demo.sh [BUILD_DIR]      (default build/demo)
#
# VELMORA_DEMO_DIR=PATH uses PATH (created when missing) instead of a new
# scratch directory.
set -uo pipefail

build=${1:-build/demo}
if ! build=$(cd "$build" 2>/dev/null && pwd); then
    echo "demo: no build directory \"${1:-build/demo}\"; run: make demo" >&2
    exit 1
fi
for prog in velmora velmora-tool velmora-programmer-sim velmora-reader-sim; do
    if [ ! -x "$build/$prog" ]; then
        echo "demo: $build/$prog is missing; run: make demo" >&2
        exit 1
    fi
done

if [ -n "${VELMORA_DEMO_DIR:-}" ]; then
    mkdir -p "$VELMORA_DEMO_DIR" && dir=$(cd "$VELMORA_DEMO_DIR" && pwd) || exit 1
else
    dir=$(mktemp -d "${TMPDIR:-/tmp}/velmora-demo.XXXXXX") || exit 1
fi
com1=$dir/com1
com2=$dir/com2
prog_ctl=$dir/programmer.ctl
reader_ctl=$dir/reader.ctl
tag_file=$dir/sim-tag.txt
prog_pid=""
reader_pid=""
velmora_pid=""
run_pid=""

cleanup() {
    trap - EXIT INT TERM HUP
    # Velmora itself (under xvfb-run its pid is in the pid file), then
    # whatever started it.
    if [ -z "$velmora_pid" ] && [ -s "$dir/velmora.pid" ]; then velmora_pid=$(cat "$dir/velmora.pid"); fi
    if [ -n "$velmora_pid" ] && kill -0 "$velmora_pid" 2>/dev/null; then
        kill -TERM "$velmora_pid" 2>/dev/null
    fi
    if [ -n "$run_pid" ]; then wait "$run_pid" 2>/dev/null; fi
    rm -f "$dir/velmora.pid"
    for pid in $prog_pid $reader_pid; do
        kill -TERM "$pid" 2>/dev/null
    done
    for pid in $prog_pid $reader_pid; do
        wait "$pid" 2>/dev/null
    done
    # The simulators remove their links and FIFOs when they stop; a killed
    # one may have left them.
    for f in "$com1" "$com2" "$prog_ctl" "$reader_ctl"; do
        if [ -L "$f" ] || [ -p "$f" ]; then rm -f "$f"; fi
    done
    echo
    echo "== Demo ended; the simulators are stopped."
    echo "   Start directory kept: $dir"
    if [ -f "$dir/tag log.txt" ]; then
        echo "   Tag log:              $dir/tag log.txt"
    fi
    if [ -d "$dir/labels" ]; then
        echo "   Labels (PDF):         $dir/labels"
    fi
    echo "   Simulator logs:       $dir/programmer-sim.log, $dir/reader-sim.log"
    echo "   Remove it with:       rm -rf '$dir'"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

# Waits up to 5 s for a path to appear.
wait_for() {
    local i
    for ((i = 0; i < 100; ++i)); do
        [ -e "$1" ] && return 0
        sleep 0.05
    done
    return 1
}

# 1. The two devices, sharing one tag file: what the programmer writes the
#    reader reads. The reader answers an RF check by itself.
"$build/velmora-programmer-sim" --link "$com1" --tag-file "$tag_file" --control "$prog_ctl" \
    >/dev/null 2>"$dir/programmer-sim.log" &
prog_pid=$!
"$build/velmora-reader-sim" --link "$com2" --tag-file "$tag_file" --control "$reader_ctl" --auto-read \
    >/dev/null 2>"$dir/reader-sim.log" &
reader_pid=$!
if ! wait_for "$com1" || ! wait_for "$prog_ctl"; then
    echo "demo: velmora-programmer-sim did not start:" >&2
    cat "$dir/programmer-sim.log" >&2
    exit 1
fi
if ! wait_for "$com2" || ! wait_for "$reader_ctl"; then
    echo "demo: velmora-reader-sim did not start:" >&2
    cat "$dir/reader-sim.log" >&2
    exit 1
fi

# 2. The options of the scratch start directory: the programmer on Comm Port 1
#    (checked first at start, so no search), the reader on Comm Port 2, the RF
#    check and label printing on with the labels as PDF files (a demo prints
#    nothing on a real printer), the tag log window open.
if ! (cd "$dir" && "$build/velmora-tool" options set --options "programmer option.ads" \
        programmer_port=COM1 reader_port=COM2 automatic_rf_check=1 label_printing_on=1 \
        "label_printer=PDF file" tag_log_window_shown=1 >/dev/null); then
    echo "demo: the options file could not be written" >&2
    exit 1
fi

# 3. The instructions, then the program.
display_note=""
run=("$build/velmora")
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    if ! command -v xvfb-run >/dev/null; then
        echo "demo: there is no display (DISPLAY and WAYLAND_DISPLAY are unset) and xvfb-run is missing" >&2
        exit 1
    fi
    display_note=yes
    run=(xvfb-run -a -s "-screen 0 1280x1024x24" bash -c \
        'echo $$ >"$1"; echo "   Virtual display $DISPLAY; a screenshot of it:"; echo "     XAUTHORITY=$XAUTHORITY import -display $DISPLAY -window root shot.png"; exec "$0"' \
        "$build/velmora" "$dir/velmora.pid")
fi

cat <<EOF
== Velmora on a simulated bench
   Start directory:  $dir
   Comm Port 1:      $com1 -> velmora-programmer-sim (an AP4118)
   Comm Port 2:      $com2 -> velmora-reader-sim (reads the tag by itself)
   Velmora starts connected: the tool bar says "Programmer is ON Comm 1".

   Try it (a minute):
   1. The form shows the Railcar format. Type a railcar, Tab or Enter moving on:
        Equipment Initial ABCD, Car Number 123456, Side Indicator Code RIGHT (from the
        list), Length 50-0 (feet-inches), Number of Axles 4, Bearing Type Code 1,
        Platform Identifier Code 0
   2. F1 programs it. The RF check follows: "Please read the tag with the portable
      reader", and about 2 s later the simulated reader reads it. The prompt bar says
      "Tag was successfully programmed, UMLER not checked, RF Ok"; the line is at
      the top of the "Tag Programming Log" window and in:
        $dir/tag log.txt
      and the label is a PDF file in $dir/labels
   3. F8 steps to the next car number; F2 reads the tag back into the form.

   Make the devices misbehave, from another terminal (the simulators answer in
   programmer-sim.log and reader-sim.log there):
     cd '$dir'
     echo notag on     > programmer.ctl   programming fails ("notag off" ends it)
     echo unplug       > programmer.ctl   the cable is pulled ("plug" puts it back)
     echo autoread off > reader.ctl       the reader waits for you; at the RF check then
     echo read wrong   > reader.ctl       a reading that disagrees with the tag,
     echo read         > reader.ctl       or the right one
     echo normal       > programmer.ctl   every fault off; "help" lists every command

   Close the window (or press Ctrl-C here) to end the demo.
EOF
if [ -n "$display_note" ]; then
    echo "   There is no display here: Velmora runs on a virtual X display (xvfb-run)."
    echo "   Press Ctrl-C to end it."
fi
echo

cd "$dir" || exit 1
VELMORA_COM1=$com1 VELMORA_COM2=$com2 VELMORA_COM3=$dir/com3 VELMORA_COM4=$dir/com4 "${run[@]}" &
run_pid=$!
[ -z "$display_note" ] && velmora_pid=$run_pid
wait "$run_pid"
status=$?
run_pid=""
velmora_pid=""
rm -f "$dir/velmora.pid"
if [ "$status" -ne 0 ]; then
    echo "demo: velmora ended with status $status" >&2
fi
exit "$status"
