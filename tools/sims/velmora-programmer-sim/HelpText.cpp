// The texts a shop technician reads: --help and the "help" control command.
#include "Options.h"

namespace velmora::sim {

std::string ControlCommandsText() {
    return R"(Control commands (one per line, or several on a line separated by ";"):
  silent on|off       answer nothing at all, not even the echo
  notag on|off        no tag on the programmer: program and read answer #Error
  status CODE         the status check answers #CODE, e.g. status 03, status 0A.
                      Velmora knows 00 01 02 03 04 09 0A 0B 0C and 05; a code
                      not starting with 0 is not a status answer to it at all
  status auto         the status check reports the last program or read (the
                      default): 00 fine, 01 illegal command, 02 invalid tag
                      data, 03 no tag
  garbage on|off      send a line of junk bytes (NUL, 0xFF and others, then
                      CR LF) before every answer
  split on|off|MS     send every byte on its own, MS milliseconds apart
                      (on = 20 ms)
  slow on|off|MS      wait MS milliseconds between the echo and the answer
                      (on = 3000 ms); past 8000 ms Velmora gives up on a
                      program or read with "WatchDog Timer Expired"
  progdata on|off     a program answer carries the written data line
                      before #Done
  model NAME          become another model: AP4110, AP4112 (half frame) or
                      AP4118; any other name answers as a full-frame
                      programmer of that name
  version TEXT        the firmware version reported with the model
  tag DIGITS          put a tag with these 30 hexadecimal digits on the
                      programmer (written to the tag file)
  tag clear           take the tag away (the tag file is removed)
  unplug [SECONDS]    pull the cable: the device disappears; it comes back
                      after SECONDS, or on "plug", or on kill -USR1
  unplug next [SECONDS]
                      pull the cable right after echoing the next command
  plug                plug the cable back in
  normal              every fault off (silent, notag, garbage, split, slow)
                      and status auto
  verbose on|off      show the bytes received and sent
  show                print the current behaviour
  help                print this list
  quit                stop the simulator
)";
}

std::string HelpText() {
    return R"(velmora-programmer-sim - a pretend AEI tag programmer on a pseudo serial port

Use it to train operators and to try tag formats without a programmer on the
bench. It behaves like an AP4110, AP4112 or AP4118 tag programmer connected to
a serial port: Velmora finds it, checks its status, programs tags into it and
reads them back. It can also be told to misbehave (stay silent, have no tag,
report an error code, send junk, answer slowly or in pieces, be unplugged) to
show what Velmora does when the real programmer or its cable has a problem.

It makes a new serial device (/dev/pts/N) and prints its name as the first
line of its output (and again each time the port is plugged back in). It runs
until you press Ctrl-C or stop it with kill. What it does is reported on
standard error.

Pointing Velmora at it
  Velmora's "Comm Port 1" to "Comm Port 4" use the devices named in the
  variables VELMORA_COM1 to VELMORA_COM4 when they are set. Use --link so the
  name stays the same even when the port is unplugged and plugged back in:

    velmora-programmer-sim --link /tmp/programmer &
    VELMORA_COM1=/tmp/programmer velmora

  Velmora looks for the programmer by itself at start; "Search for a
  Programmer" looks on all four ports again.

Usage
  velmora-programmer-sim [options]

Options
  --model NAME        AP4110, AP4112 or AP4118 (default AP4118). The AP4112
                      programs half frames: it takes "#204" and "#214" and
                      reads back 15 digits; the others take "#201" and "#211"
                      and 30 digits.
  --version TEXT      firmware version the programmer reports (default 1.07);
                      --version alone shows this simulator's own version
  --link PATH         keep a symbolic link PATH pointing at the device; it is
                      removed while unplugged and when the simulator stops
  --tag-file PATH     where the tag on the programmer is kept (default
                      $TMPDIR/velmora-sim-tag.txt, /tmp when TMPDIR is unset):
                      one line of 30 hexadecimal digits. Every tag programmed
                      is written there and every read answers with it; the
                      reader simulator reads the same file.
  --control PATH      make a FIFO at PATH and take control commands from it
                      while running (see below)
  --verbose, -v       show every byte received and sent
  --help, -h          show this text

  Faults from the start (each can be changed later with a control command):
  --silent            answer nothing
  --no-tag            no tag on the programmer: program and read fail (#Error)
  --status CODE       the status check answers this code instead of 00
  --garbage           junk bytes before every answer
  --split[=MS]        answers sent one byte at a time, MS ms apart (default 20)
  --slow MS           wait MS ms between the echo and the answer
  --program-data      program answers carry the written data before #Done
  --unplugged[=SECONDS]
                      start unplugged; plug in after SECONDS, on "plug" or on
                      kill -USR1

)" + ControlCommandsText() +
           R"(
  Write them into the FIFO given with --control, for example:
    velmora-programmer-sim --link /tmp/programmer --control /tmp/prog.ctl &
    echo "silent on" > /tmp/prog.ctl
    echo "status 03; garbage on" > /tmp/prog.ctl
    echo "unplug 10" > /tmp/prog.ctl
    echo normal > /tmp/prog.ctl
  The simulator confirms each command (or says why it refused it) on
  standard error. Writing into the FIFO waits while no simulator is running.
  Without a FIFO, kill -USR1 <pid> unplugs the port and plugs it back in.

What it answers
  Every command ends with a carriage return (CR). The programmer first echoes
  the command, then answers; every line it sends ends with CR LF. A status
  check, for example, goes:   sent "#40" CR   received "#40" CR LF "#00" CR LF

  #30                probe    -> #Model AP4118 Ver 1.07   (model and version)
  #40                status   -> #00                      (or the status code)
  #201<30 digits>    program  -> #Done, or #Error         (AP4110, AP4118)
  #204<30 digits>    program  -> #Done, or #Error         (AP4112: it keeps
                                                           the first 15 digits)
  #211               read     -> #<30 digits> then #Done, or #Error
  #214               read     -> #<15 digits> then #Done, or #Error  (AP4112)
  Any other command is answered with #Error.

Examples
  Train with a half-frame programmer:
    velmora-programmer-sim --model AP4112 --link /tmp/programmer
  Show what happens when the programmer stops answering in the middle of work:
    velmora-programmer-sim --link /tmp/programmer --control /tmp/p.ctl
    echo "silent on" > /tmp/p.ctl     (Velmora reports "WatchDog Timer Expired")
    echo "silent off" > /tmp/p.ctl    (Velmora finds it again)
  Pull the cable for 20 seconds:
    echo "unplug 20" > /tmp/p.ctl
  Watch the traffic:
    velmora-programmer-sim --verbose --link /tmp/programmer
)";
}

} // namespace velmora::sim
