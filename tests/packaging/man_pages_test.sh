#!/usr/bin/env bash
# The manual pages against the programs: each page renders without a warning from man and
# names the project's version, the pages made from --help show every command and every option
# that the programs' help lists with its range, and qv-updater's page its options and files.
#   man_pages_test.sh MAN_DIR VERSION QV_FLASH QV_RADIO_SIM
set -euo pipefail
man_dir=$1
version=$2
flash=$3
sim=$4
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The page as a reader sees it, wide enough that no option name is broken across lines.
render() {
    local page=$1 warnings
    warnings=$(MANWIDTH=200 LC_ALL=C.UTF-8 man --warnings -l "$page" 2>&1 >/dev/null)
    [[ -z $warnings ]] || fail "$page: man warns: $warnings"
    MANWIDTH=200 LC_ALL=C.UTF-8 man -l "$page" 2>/dev/null
}

page_of() {
    local name=$1
    for page in "$man_dir/$name.1.gz" "$man_dir/$name.1"; do
        [[ -f $page ]] && { echo "$page"; return; }
    done
    fail "no manual page for $name in $man_dir"
}

subcommands() { "$1" --help | awk '/^Subcommands:/ { on = 1; next } /^$/ { on = 0 } on { print $1 }'; }
options() {
    "$@" --help | awk '/^Options:/ { on = 1; next } /^$/ { on = 0 }
        on && /^  -/ { n = split($1, names, ","); for (i = 1; i <= n; i++) print names[i] }'
}

# An entry of the page: an option or command name that starts a line, alone or after
# another name of the same option ("-h,--help", "-h, --help").
expect_entry() {
    local text=$1 page=$2 word=$3
    grep -qE -- "^ +([^ ]+, ?)?${word}([ ,]|\$)" <<<"$text" || fail "$page does not show $word"
}

for program in qv-flash qv-radio-sim qv-updater; do
    page=$(page_of "$program") || continue
    text=$(render "$page")
    footer=$(tail -n 1 <<<"$text")
    [[ $footer == *"$program $version"* ]] || fail "$page: footer '$footer' lacks $program $version"
    [[ $(head -n 1 <<<"$text") == "${program^^}(1)"* ]] || fail "$page: not a section 1 page of $program"
    case $program in
        qv-flash)
            for word in $(options "$flash"); do expect_entry "$text" "$page" "$word"; done
            for command in $(subcommands "$flash"); do
                expect_entry "$text" "$page" "$command"
                for word in $(options "$flash" "$command"); do
                    expect_entry "$text" "$page" "$word"
                done
            done
            grep -q "10 to 90 in steps of 10" <<<"$text" || fail "$page: --rounds lost its range" ;;
        qv-updater)
            for word in --help --version; do expect_entry "$text" "$page" "$word"; done
            for file in qv-updater.conf jobs.jsonl; do
                grep -q "$file" <<<"$text" || fail "$page: FILES does not name $file"
            done ;;
        qv-radio-sim)
            for word in $(options "$sim"); do expect_entry "$text" "$page" "$word"; done ;;
    esac
done

[[ $failures -eq 0 ]] || { echo "$failures failure(s)"; exit 1; }
echo "manual pages: ok"
