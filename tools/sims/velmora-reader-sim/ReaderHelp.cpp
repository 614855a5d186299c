// The texts a shop technician reads: --help and the "help" control command.
#include "ReaderControl.h"

namespace velmora::readersim {

std::string ReaderCommandsText() {
    return R"(Control commands (one per line, or several on a line separated by ";"):
  read                the operator reads the tag with the reader: the tag in
                      the tag file is sent as a reading line (initial and
                      number only while oldfirmware is on). When the port is
                      not open the reading waits and goes out as soon as
                      Velmora opens it.
  read old            a reading of an older reader: initial and number only
  read wrong          a reading that disagrees: the number is one higher
  read wrong length   a reading that disagrees: the length is 2 dm longer
  autoread on|off|SECONDS
                      the tag is read without a command: when Velmora
                      opens the port and sends nothing (that is how it waits
                      for the reading of an RF check), the reading goes out
                      SECONDS after the open (on = 2), never sooner than
                      1.5 s; when Velmora sends first (the FSP of a search
                      or a parameter read) no reading goes out
  line TEXT           send TEXT and CR LF as it is (a line starting with a
                      digit is one Velmora ignores)
  frame TEXT          send STX TEXT ETX as it is
  userid TEXT         the user ID in the parameters (up to 8 characters)
  date MM/DD/YY       the reader's date (date today: the computer's)
  time hh:mm:ss       the reader's time (time now: the computer's)
  battery NNN         the battery level (up to 3 characters)
  alarms A B C        the three battery alarm levels (up to 3 characters each)
  firmware TEXT       the firmware version; before 1.6 a reader only reads
                      initial and number
  brokendate once     the next parameter answer has a broken date (with "-"
                      for "/"); Velmora answers NAK and the reader sends the
                      answer again, now correct
  brokendate on|off   every parameter answer has a broken date: Velmora
                      refuses them all and reports the reader as not
                      responding
  oldfirmware on|off  "read" sends initial and number only
  ack on|off          send ACK before the parameters (the default)
  silent on|off       answer nothing at all
  garbage on|off      send junk bytes (NUL, 0xFF, a stray STX and others)
                      before every frame
  split on|off|MS     send every byte on its own, MS milliseconds apart
                      (on = 20 ms)
  slow on|off|MS      wait MS milliseconds between the ACK and the
                      parameters (on = 3000 ms; past 5000 ms Velmora asks
                      again)
  unplug [SECONDS]    pull the cable; back after SECONDS, on "plug" or on
                      kill -USR1
  plug                plug the cable back in
  normal              every fault off (silent, ack off, garbage, brokendate,
                      oldfirmware, split, slow)
  verbose on|off      show the bytes received and sent
  show                print the current behaviour and the tag
  help                print this list
  quit                stop the simulator
)";
}

std::string ReaderHelpText() {
    return R"(velmora-reader-sim - a pretend portable AEI RF reader on a pseudo serial port

Use it to train operators and to try the RF check without a reader on the
bench. It behaves like the portable reader connected to a serial port in its
"Host Transfer/Host Initiated" mode: Velmora finds it ("Search for Reader"),
reads its parameters ("Read Reader Parameters") and, after a tag was
programmed with the RF check on, receives the reading of that tag and compares
it with what was programmed. Together with velmora-programmer-sim it is a
whole bench: the reader reads the tag that the programmer simulator last
programmed, from the same tag file.

It makes a new serial device (/dev/pts/N) and prints its name as the first
line of its output (and again each time the port is plugged back in). It runs
until you press Ctrl-C or stop it with kill. What it does is reported on
standard error.

Pointing Velmora at it
  The programmer on Comm Port 1 and the reader on Comm Port 2:

    velmora-programmer-sim --link /tmp/programmer &
    velmora-reader-sim --link /tmp/reader --control /tmp/reader.ctl &
    VELMORA_COM1=/tmp/programmer VELMORA_COM2=/tmp/reader velmora

  Assign the reader with "Reader Port Assignment" (Comm Port 2) or let
  "Search for Reader" find it. Program a tag with the RF check on; when
  Velmora asks you to read the tag with the portable reader:

    echo read > /tmp/reader.ctl

  or start the simulator with --auto-read and it reads the tag by itself.

Usage
  velmora-reader-sim [options]

Options
  --link PATH         keep a symbolic link PATH pointing at the device; it is
                      removed while unplugged and when the simulator stops
  --tag-file PATH     where the tag is read from (default
                      $TMPDIR/velmora-sim-tag.txt, /tmp when TMPDIR is unset,
                      the file velmora-programmer-sim writes): one line of 30
                      hexadecimal digits
  --control PATH      make a FIFO at PATH and take control commands from it
                      while running (see below)
  --user-id TEXT  --date MM/DD/YY  --time hh:mm:ss  --battery NNN
  --alarms A,B,C  --firmware TEXT
                      what the parameters report (defaults: VELMORA1, the
                      computer's date and time, 095, 070,060,050, 1.6)
  --auto-read[=SECONDS]
                      answer every RF check on its own: SECONDS (default 2)
                      after Velmora opened the port without sending anything
                      the tag is read, as "autoread" below
  --verbose, -v       show every byte received and sent
  --help, -h          show this text
  --version           show this simulator's version

  Faults from the start (each can be changed later with a control command):
  --silent            answer nothing
  --no-ack            no ACK before the parameters
  --broken-date[=once|on]
                      parameters with a broken date (default once)
  --old-firmware      readings hold initial and number only
  --garbage           junk bytes before every frame
  --split[=MS]        every byte on its own, MS ms apart (default 20)
  --slow MS           wait MS ms before the parameters

)" + ReaderCommandsText() +
           R"(
  Write them into the FIFO given with --control, for example:
    echo "read" > /tmp/reader.ctl
    echo "read wrong length" > /tmp/reader.ctl
    echo "battery 020; firmware 1.5; oldfirmware on" > /tmp/reader.ctl
  The simulator confirms each command (or says why it refused it) on
  standard error.

What it answers
  Frames are STX (0x02), a three-letter code, data, ETX (0x03).
    STX FSP ETX        -> STX ACK ETX, then STX SSP<parameters> ETX; Velmora
                          answers STX ACK ETX (or NAK, and the reader sends
                          the parameters again)
    STX ACK ETX        (taken as the acknowledgement of the parameters)
    anything else      -> STX NAK ETX
  The parameters: "SSP", the user ID (8 characters), the date MM/DD/YY, a
  blank, the time hh:mm:ss, the battery (3), the alarm levels (3 x 3) and the
  firmware version, e.g.
    SSPVELMORA103/14/26 09:26:530950700600501.6
  A reading is a text line ending CR LF: the equipment initial (4
  characters), a blank and the number, then for railcars and locomotives
  ",group,side,length in dm,axles,bearing" and for railcars ",platform":
    ABCD 123456,19,L,150,4,1,0
    UP   4014,5,R,406,6,1
    WABC 12345                (any other tag, and every tag on old firmware)
)";
}

} // namespace velmora::readersim
