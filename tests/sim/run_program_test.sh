#!/bin/sh
# qv-radio-sim as a program: device path on the first line, the link, a clean exit on SIGTERM
# with the report and the dump written, and the link gone; and qv-flash ports lists the link
# when QV_SERIAL_PORTS names it.
set -eu
sim="$1"
flash="$2"
dir=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$dir"' EXIT
cd "$dir"
pid=0

"$sim" --help >/dev/null
if "$sim" --fault melt 2>/dev/null; then
    echo "an unknown fault was accepted"; exit 1
fi

"$sim" --link radio0 --jobs 0 --report report.json --dump dump.bin >out.txt &
pid=$!
for _ in $(seq 100); do
    [ -s out.txt ] && [ -L radio0 ] && break
    sleep 0.05
done
path=$(head -n 1 out.txt)
case "$path" in
    /dev/pts/*) ;;
    *) echo "first line is not a device path: '$path'"; exit 1 ;;
esac
[ -c "$path" ] || { echo "$path is not a terminal"; exit 1; }
[ "$(readlink radio0)" = "$path" ] || { echo "radio0 does not point at $path"; exit 1; }
QV_SERIAL_PORTS="$dir/radio0" "$flash" ports | grep -q "^[0-9]*  $dir/radio0\$" ||
    { echo "qv-flash ports does not list $dir/radio0"; exit 1; }

kill -TERM "$pid"
wait "$pid" || { echo "exit status $? after SIGTERM"; exit 1; }
[ ! -L radio0 ] || { echo "the link is left behind"; exit 1; }
grep -q '"jobs": 0' report.json || { echo "no report"; exit 1; }
[ "$(stat -c %s dump.bin)" -eq 851968 ] || { echo "dump is not region 1"; exit 1; }
echo "ok"
