# The Windows window under Wine, for scripts/wine-check (which sources this file and provides
# wine, wineserver, work, start_sim, stop_sim, fail and wine_run): the window's tests, then
# qv-updater.exe driven by an X client with keys alone against a simulated radio on COM1.
# QV_WINE_PICTURES=DIR also takes the pictures of the window (docs/windows-*.png).

window_exe=$root/build/win64/src/winapp/qv-updater.exe
window_tests_exe=$root/build/win64/tests/winapp/qv_window_tests.exe
# COM1: the radio of the run driven by keys; COM4: a radio that answers each area command near
# the end of the job's wait; COM7: a radio; COM8: one that never answers; COM9: a radio whose
# next one answers only a minute after it left.
window_ports=(1 4 7 8 9)
# The window's tests wait out a silent radio's link-up and seven late area commands, besides
# their shorter jobs.
window_tests_limit=300
# The virtual screen, and the Wine desktop the windows are drawn on (with Wine's own frames).
window_screen=1024x768
# How long the run driven by keys waits for each window; the whole update takes about 40 s.
window_wait=90
display_pid=

# Wine's own way to add serial ports: each stands in SERIALCOMM as a driver would put it.
map_window_ports() {
  for port in "${window_ports[@]}"; do
    "$wine" reg add 'HKLM\Software\Wine\Ports' /v "COM$port" /d "$work/radio$port" /f >/dev/null
  done
}

stop_display() {
  if [[ -n "$display_pid" ]]; then
    # Wine's programs leave the display first, so that none of them loses it.
    "$wineserver" -k 2>/dev/null || true
    "$wineserver" -w 2>/dev/null || true
    kill "$display_pid" 2>/dev/null || true
    wait "$display_pid" 2>/dev/null || true
  fi
  display_pid=
}

# An X server of its own (it picks a free display) and a Wine server that knows it: the runs
# before had no display.
start_window_session() {
  for file in "$window_exe" "$window_tests_exe"; do
    [[ -e "$file" ]] || fail "$file is missing"
  done
  command -v Xvfb >/dev/null && command -v xdotool >/dev/null || fail "Xvfb and xdotool are missing"
  exec 5>"$work/display"
  Xvfb -displayfd 5 -screen 0 "${window_screen}x24" -nolisten tcp >"$work/xvfb.log" 2>&1 &
  display_pid=$!
  exec 5>&-
  for _ in $(seq 100); do
    [[ -s "$work/display" ]] && break
    sleep 0.05
  done
  [[ -s "$work/display" ]] || { cat "$work/xvfb.log"; fail "Xvfb did not start"; }
  export DISPLAY=":$(head -n 1 "$work/display")"
  "$wineserver" -k 2>/dev/null || true
  "$wineserver" -w
  "$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null
  "$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$window_screen" /f >/dev/null
  "$wineserver" -w
  "$wineserver" -p >/dev/null 2>&1
}

# The Windows path of a file of the work folder, as a Windows program names it.
windows_path() {
  echo "Z:${1//\//\\}"
}

run_window_tests() {
  start_sim radio7 --report "$work/radio7-report.json"
  local radio=$sim_pid
  start_sim radio8 --fault silent-linkup
  local silent=$sim_pid
  start_sim radio9 --jobs 2 --between 60000
  local loop=$sim_pid
  start_sim radio4 --fault late-area
  local late=$sim_pid
  QV_TEST_RADIO_PORT=7 QV_TEST_SILENT_PORT=8 QV_TEST_LOOP_PORT=9 QV_TEST_LATE_AREA_PORT=4 \
    QV_TEST_RADIO_REPORT="$(windows_path "$work/radio7-report.json")" \
    timeout "$window_tests_limit" "$wine" "$window_tests_exe" --gtest_brief=1 ||
    fail "the window's tests failed"
  stop_sim "$radio"
  stop_sim "$silent"
  stop_sim "$loop"
  stop_sim "$late"
}

# The X window of the first window whose title matches the pattern, once it is shown.
wait_window() {
  local pattern=$1 deadline=$((SECONDS + window_wait)) id
  while ((SECONDS < deadline)); do
    id=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -n 1)
    [[ -n "$id" ]] && { echo "$id"; return 0; }
    sleep 0.2
  done
  fail "no window titled /$pattern/ within $window_wait s"
}

# Keys go to the window with the focus: the one given, as a user would click it first.
press() {
  local window=$1
  shift
  xdotool windowfocus --sync "$window" key --delay 100 "$@"
}

picture() {
  [[ -n "${QV_WINE_PICTURES:-}" ]] || return 0
  command -v import >/dev/null || fail "QV_WINE_PICTURES needs ImageMagick's import (apt-get install imagemagick)"
  mkdir -p "$QV_WINE_PICTURES"
  import -window "$1" "$QV_WINE_PICTURES/$2" || fail "no picture $2"
  echo "picture: $QV_WINE_PICTURES/$2"
}

# The radio's report and flash after a whole update of the carried package.
check_radio_written() {
  local report=$1 flash=$2
  grep -q '"jobs": 1,' "$report" || { cat "$report"; fail "the simulator ran no job"; }
  grep -q '"deviations": \[\]' "$report" ||
    { cat "$report"; fail "the simulator saw deviations from the wire sequence"; }
  grep -q '"checksumAcked": true, "end": "end command"' "$report" ||
    { cat "$report"; fail "the job did not complete with its checksum acknowledged"; }
  srec_cat "$package" -crop 0x08010000 0x080E0000 -fill 0xFF 0x08010000 0x080E0000 \
    -offset -0x08010000 -o "$work/window-image-region1.bin" -binary
  cmp -s "$flash" "$work/window-image-region1.bin" ||
    fail "the radio's region 1 differs from the image"
}

# A technician's update with keys alone: Alt+W, Return on the confirmation, Return on
# "Writing completed.", then Escape and Return to leave.
update_by_keys() {
  start_sim radio1 --jobs 1 --report "$work/radio1-report.json" --dump "$work/radio1-region1.bin"
  local radio=$sim_pid started=$SECONDS
  timeout "$run_limit" "$wine" "$window_exe" >"$work/window.log" 2>&1 &
  local program=$!
  local main
  main=$(wait_window '^Updater for QV-310/QV-410\(HW V2\.0\) +Ver\. DEMO-1\.0$')
  echo "the window is up after $((SECONDS - started)) s"
  picture "$main" windows-main-window.png
  press "$main" alt+w
  local question
  question=$(wait_window '^Solvane Updater$')
  picture "$question" windows-confirmation.png
  press "$question" Return
  # Well into the transfer: the bar and the line under it move block by block.
  sleep 12
  picture "$main" windows-status-line.png
  local completed
  completed=$(wait_window '^Updater for QV-310/QV-410\(HW V2\.0\)$')
  echo "the update took $((SECONDS - started)) s"
  press "$completed" Return
  press "$main" Escape
  press "$(wait_window '^Confirmation$')" Return
  wait "$program" || fail "qv-updater.exe ended with exit $?"
  wait "$radio" || true
  check_radio_written "$work/radio1-report.json" "$work/radio1-region1.bin"
  local log
  log=$(find "$WINEPREFIX/drive_c/users" -path '*/AppData/Local/qv-updater/jobs.jsonl' | head -n 1)
  [[ -n "$log" ]] && grep -q '"result":"Writing completed."' "$log" ||
    fail "the service log holds no \"Writing completed.\" line"
  echo "\"Writing completed.\"; the simulator saw no deviation; its region 1 equals the image's"
}

# --version and --help answer without a window, so they need no display.
check_window_version() {
  local version help
  version=$(wine_run "$window_exe" --version | tr -d '\r') || fail "qv-updater.exe --version failed"
  echo "$version"
  [[ "$version" =~ ^qv-updater\ [0-9]+\.[0-9]+\.[0-9]+$ ]] ||
    fail "qv-updater.exe --version printed '$version'"
  help=$(wine_run "$window_exe" --help | tr -d '\r') || fail "qv-updater.exe --help failed"
  [[ "$(head -n 1 <<<"$help")" == "Usage: qv-updater [DESIGNER]" ]] ||
    fail "qv-updater.exe --help printed no usage"
}

check_window() {
  local started=$SECONDS
  echo "== qv-updater.exe --version, with no display"
  check_window_version
  start_window_session
  echo "== the window's tests (COM4: late area answers; COM7: a radio; COM8: a silent one;" \
    "COM9: radios in turn)"
  run_window_tests
  echo "== qv-updater.exe driven by keys (COM1)"
  update_by_keys
  stop_display
  echo "the window's checks took $((SECONDS - started)) s"
}
