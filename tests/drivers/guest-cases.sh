# The cases of the real-driver tier, run in the guest by its init (busybox sh). Each case says
# what it proves with "@@ case", its checks with "@@ pass" or "@@ fail", and asks the host for the
# cable and for each radio's verdict with "@@ host ACTION ...", reading the host's answer from
# the console. Cable N is the FT232 on USB port 1-N, found by that path, not by its ttyUSB name.

# The designer word and a small image: a few hundred blocks, seconds a radio.
IMAGE="qzx --mot /small.srec"
RECORD=/tmp/record.jsonl

begin_case() { echo "@@ case $*"; }
pass() { echo "@@ pass $*"; }
fail() { echo "@@ fail $*"; }
# verdict STATUS TEXT: passes when STATUS is 0.
verdict() {
  if [ "$1" -eq 0 ]; then pass "$2"; else fail "$2"; fi
}
host() {
  echo "@@ host $*"
  read -r answer
  [ "$answer" = ok ] || fail "the host could not: $*"
}
show() { sed 's/^/    /' "$@"; }

# The terminal of cable N, as its USB path tells it.
cable_tty() {
  for node in /sys/bus/usb/devices/1-$1:1.0/ttyUSB*; do
    if [ -e "$node" ]; then
      echo "/dev/${node##*/}"
      return 0
    fi
  done
  return 1
}

# within SECONDS COMMAND...: until COMMAND succeeds, tried ten times a second.
within() {
  tries=$(($1 * 10))
  shift
  while [ $tries -gt 0 ]; do
    "$@" && return 0
    sleep 0.1
    tries=$((tries - 1))
  done
  return 1
}

# cable_is N present|absent
cable_is() {
  if device=$(cable_tty "$1"); then
    [ "$2" = present ] && [ -c "$device" ]
  else
    [ "$2" = absent ]
  fi
}
wait_cable() { within 10 cable_is "$@"; }

# has_lines FILE TEXT COUNT: COUNT lines of FILE hold TEXT.
has_lines() { [ "$(grep -cF "$2" "$1" 2>/dev/null)" -ge "$3" ]; }
# wait_lines FILE TEXT COUNT SECONDS
wait_lines() { within "$4" has_lines "$1" "$2" "$3"; }

ended() { ! kill -0 "$1" 2>/dev/null; }

# quiet FILE SECONDS: FILE gains no line meanwhile.
quiet() {
  lines=$(grep -c . "$1")
  sleep "$2"
  [ "$(grep -c . "$1")" -eq "$lines" ]
}

# The technician: not root, in the group that owns the serial ports (udev's rule, done by hand).
as_technician() {
  su -s /bin/sh -c 'exec "$@"' tech -- sh "$@"
}
for_technician() {
  chgrp dialout "$@" && chmod 660 "$@"
}

# start_write [--technician] NAME PORT: qv-flash write in the background, as root or as the
# technician; its pid in $writer, its output in /tmp/NAME.out and /tmp/NAME.err.
start_write() {
  user=
  if [ "$1" = --technician ]; then
    user=as_technician
    shift
  fi
  # shellcheck disable=SC2086  # IMAGE is words
  $user qv-flash write --port "$2" --yes $IMAGE --record "$RECORD" </dev/null >"/tmp/$1.out" 2>"/tmp/$1.err" &
  writer=$!
}

# check_completed NAME PORT EXIT: what qv-flash said of a whole update, and its record line.
check_completed() {
  if [ "$3" -eq 0 ] && [ "$(tail -n 1 "/tmp/$1.out")" = "Writing completed." ]; then
    pass "qv-flash write on $2: exit 0, \"Writing completed.\""
  else
    fail "qv-flash write on $2: exit $3"
    show "/tmp/$1.out" "/tmp/$1.err"
  fi
  tail -n 1 "$RECORD" | grep -q "\"port\":\"$2\".*\"outcome\":\"updated\""
  verdict $? "the record line of $2 says updated"
}

# write_whole [--technician] NAME PORT RADIO TRANSFER: one whole update, judged here and by the
# radio's host.
write_whole() {
  user=
  if [ "$1" = --technician ]; then
    user=$1
    shift
  fi
  start_write $user "$1" "$2"
  wait $writer
  check_completed "$1" "$2" $?
  host judge "$3" 1 "$4"
}

touch "$RECORD"
chmod 666 "$RECORD"
wait_cable 1 present && wait_cable 2 present
verdict $? "the kernel found both FT232 cables"
cable1=$(cable_tty 1)
cable2=$(cable_tty 2)
for_technician "$cable1" /dev/ttyS1
timer1=/sys/bus/usb-serial/devices/${cable1#/dev/}/latency_timer
# QEMU's FT232 starts at 0 ms; a real chip comes with 16.
echo 16 >"$timer1"

begin_case "qv-flash ports: the FTDI cables as their USB devices tell, the UART, no ttyS without one"
as_technician qv-flash ports </dev/null >/tmp/ports.out 2>&1
verdict $? "qv-flash ports exits 0"
show /tmp/ports.out
grep -q "^[0-9]*  /dev/ttyS1\$" /tmp/ports.out
verdict $? "it lists /dev/ttyS1, the 16550A"
! grep -q 'ttyS[23]' /tmp/ports.out
verdict $? "it does not list ttyS2 and ttyS3: their sysfs type is 0, no UART behind them"
grep -q "^[0-9]*  $cable1  0403:6001  serial QVCABLE1  QEMU USB SERIAL  latency timer 16 ms\$" /tmp/ports.out
verdict $? "it lists $cable1 with its ids, serial number, product and latency timer"
qv-flash ports --json </dev/null | grep -q "\"device\":\"$cable2\",\"usbVendorId\":\"0403\",\"usbProductId\":\"6001\",\"serialNumber\":\"QVCABLE2\",\"description\":\"QEMU USB SERIAL\""
verdict $? "ports --json tells $cable2 the same way"
# shellcheck disable=SC2086  # IMAGE is words
qv-flash write --port /dev/ttyS2 --yes $IMAGE </dev/null >/tmp/ttyS2.out 2>&1
code=$?
[ $code -eq 4 ] && grep -q '^/dev/ttyS2 is not a serial port$' /tmp/ttyS2.out
verdict $? "a write named to /dev/ttyS2 is refused: not a serial port, exit 4 (exit $code)"

begin_case "a whole update through ftdi_sio, acknowledged at 115200, as the technician; the latency timer"
before=$(cat "$timer1")
start_write --technician ftdi-ack "$cable1"
during=
while kill -0 $writer 2>/dev/null; do
  if [ -z "$during" ] && grep -q '%' /tmp/ftdi-ack.err; then
    during=$(cat "$timer1")
  fi
  sleep 0.1
done
wait $writer
check_completed ftdi-ack "$cable1" $?
[ "$during" = 1 ]
verdict $? "the driver's latency timer reads 1 ms while the job holds $cable1 (read: $during)"
[ "$(cat "$timer1")" = "$before" ]
verdict $? "and $before ms again after the job (read: $(cat "$timer1"))"
host judge ftdi-ack 1 acknowledged

begin_case "a whole update through ftdi_sio, streamed at 19200 and 38400"
write_whole ftdi-streamed "$cable2" ftdi-streamed streamed

begin_case "a whole update through the 8250 UART, acknowledged at 115200, as the technician"
write_whole --technician uart-ack /dev/ttyS1 uart-ack acknowledged

begin_case "a whole update through the 8250 UART, streamed at 19200 and 38400"
host uart uart-streamed --no-high-speed
write_whole uart-streamed /dev/ttyS1 uart-streamed streamed

begin_case "the USB cable pulled out in the middle of the transfer, then put back with a fresh radio"
start_write pulled "$cable1"
within 60 grep -q ' 30%' /tmp/pulled.err
host pull 1
pulled_at=$(date +%s)
wait $writer
code=$?
took=$(($(date +%s) - pulled_at))
show /tmp/pulled.err
[ $code -eq 1 ]
verdict $? "qv-flash write ends with exit 1, a failed write (exit $code)"
[ $took -lt 30 ]
verdict $? "it ends ${took} s after the pull, within 30 s"
! grep -q 'Writing completed' /tmp/pulled.out /tmp/pulled.err
verdict $? "it never says \"Writing completed.\""
[ "$(tail -n 1 /tmp/pulled.err)" = "Please try again." ] && grep -q '^Ensure that all connections' /tmp/pulled.err
verdict $? "it ends with the connection message"
tail -n 1 "$RECORD" | grep -q "\"port\":\"$cable1\".*\"outcome\":\"failed\""
verdict $? "its record line says the radio was not completed"
wait_cable 1 absent
verdict $? "the kernel has removed $cable1"
host judge ftdi-ack 2 incomplete
host plug 1 ftdi-back
wait_cable 1 present
[ "$(cable_tty 1)" = "$cable1" ]
verdict $? "the cable put back is $cable1 again: the pulled one was released"
write_whole back "$cable1" ftdi-back acknowledged

begin_case "the station on the USB port: the cable pulled out while it waits and while it writes"
host pull 1
wait_cable 1 absent
# Each radio leaves its boot loader after its update and no other comes: the station waits.
one_radio="--jobs 2 --between 600000"
host plug 1 station-1 $one_radio
wait_cable 1 present
# shellcheck disable=SC2086  # IMAGE is words
qv-flash station --port "$cable1" --yes $IMAGE --count 3 --record /tmp/station.jsonl </dev/null >/tmp/station.out 2>/tmp/station.err &
station=$!
gone="$cable1: no such device; waiting for the port to come back"
# station_loses_cable PULLS WHILE: the cable pulled out; the station says so once and nothing
# more while the cable stays out.
station_loses_cable() {
  host pull 1
  wait_lines /tmp/station.err "$gone" "$1" 10
  verdict $? "pulled out while it $2: it says the port is gone"
  quiet /tmp/station.err 3
  verdict $? "and says nothing more while the cable stays out"
}
wait_lines /tmp/station.err "Waiting for the next radio" 2 60
verdict $? "the station writes the first radio and waits for the next"
sleep 1
station_loses_cable 1 waits
# At the wire's own pace its transfer takes seconds, long enough to be cut.
host plug 1 station-2 $one_radio --line-rate
wait_lines /tmp/station.err "Writing block 1 of" 2 30
verdict $? "put back with a radio: it writes it"
sleep 1
station_loses_cable 2 writes
host plug 1 station-3 $one_radio
within 60 ended $station
kill $station 2>/dev/null
wait $station
code=$?
show /tmp/station.out /tmp/station.err
[ "$(grep -cF "$gone" /tmp/station.err)" -eq 2 ]
verdict $? "it said the loss once for each pull"
[ $code -eq 1 ] && [ "$(tail -n 1 /tmp/station.err)" = "Updated 2 radios, 1 failed, 0 refused." ]
verdict $? "it ends after three radios: two updated, the pulled one failed, exit 1 (exit $code)"
[ "$(sed -n 's/.*"outcome":"\([a-z]*\)".*/\1/p' /tmp/station.jsonl | tr '\n' ' ')" = "updated failed updated " ]
verdict $? "its record holds updated, failed, updated"
host judge station-1 1 acknowledged
host judge station-2 1 incomplete
host judge station-3 1 acknowledged

begin_case "a port another program holds: it cannot be opened, and the station waits for it"
host pull 1
wait_cable 1 absent
host plug 1 busy
wait_cable 1 present
# The other program: an updater waiting at its question, holding the port meanwhile.
mkfifo /tmp/answer
# shellcheck disable=SC2086  # IMAGE is words
qv-flash write --port "$cable1" $IMAGE </tmp/answer >/tmp/holder.out 2>/tmp/holder.err &
holder=$!
exec 5>/tmp/answer
within 30 grep -q 'Continue?' /tmp/holder.out
verdict $? "another updater holds $cable1 at its question"
start_write held "$cable1"
wait $writer
code=$?
[ $code -eq 4 ] && [ "$(tail -n 1 /tmp/held.err)" = "The COM port cannot be opened." ] &&
  grep -q "^$cable1 is in use by another program" /tmp/held.err
verdict $? "qv-flash write: \"cannot be opened\", in use by another program, exit 4 (exit $code)"
# shellcheck disable=SC2086  # IMAGE is words
qv-flash station --port "$cable1" --yes $IMAGE --count 1 </dev/null >/tmp/busy.out 2>/tmp/busy.err &
station=$!
wait_lines /tmp/busy.err "$cable1 is in use by another program" 1 15
verdict $? "the station says the port is in use"
quiet /tmp/busy.err 3
verdict $? "and waits without a word"
echo n >&5
exec 5>&-
wait $holder
verdict $(($? != 6)) "the other updater, answered no, lets the port go"
within 30 ended $station
kill $station 2>/dev/null
wait $station
code=$?
show /tmp/busy.err
[ $code -eq 0 ] && [ "$(tail -n 1 /tmp/busy.out)" = "Updated 1 radio, 0 failed, 0 refused." ]
verdict $? "the station then writes the radio (exit $code)"
host judge busy 2 acknowledged
