#!/usr/bin/env bash
# qv-flash's bash completion: it registers for qv-flash, completes a command's beginning,
# offers after each command exactly the options that `qv-flash COMMAND --help` lists, and the
# values of an option that takes a choice or a file.
#   completion_test.sh COMPLETION QV_FLASH
set -uo pipefail
completion=$1
flash=$2
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# shellcheck source=/dev/null
source "$completion" || { echo "FAIL: $completion does not load"; exit 1; }
registered=$(complete -p qv-flash 2>&1)
[[ $registered == "complete -F _qv_flash qv-flash" ]] ||
    fail "complete -p qv-flash says '$registered'"

# The words offered for the command line given, the last word being the one completed.
offered() {
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    COMPREPLY=()
    _qv_flash
    printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ' | sed 's/ $//'
}

expect() {
    local want=$1 got
    shift
    got=$(offered "$@")
    [[ $got == "$want" ]] || fail "$* <Tab>: offered '$got', expected '$want'"
}

sorted() { tr ' ' '\n' | grep . | sort | tr '\n' ' ' | sed 's/ $//'; }
subcommands() { "$flash" --help | awk '/^Subcommands:/ { on = 1; next } /^$/ { on = 0 } on { print $1 }'; }
options() {
    "$flash" "$@" --help | awk '/^Options:/ { on = 1; next } /^$/ { on = 0 }
        on && /^  -/ { n = split($1, names, ","); for (i = 1; i <= n; i++) print names[i] }'
}

commands=$(subcommands | sorted)
[[ -n $commands ]] || fail "qv-flash --help lists no command"
expect "write" qv-flash wr
expect "$(printf '%s\n' $commands $(options) | sorted)" qv-flash ""
for command in $commands; do
    expect "$(options "$command" | sorted)" qv-flash "$command" -
done

files=$(mktemp -d)
trap 'rm -rf "$files"' EXIT
touch "$files/firmware.mot" "$files/fleet.jsonl"
cases=(
    # expected words | the words of the command line, the last one being completed
    "128 256|qv-flash|write|--max-buffer|"
    "128 256|qv-flash|info|--max-buffer|=|"
    "1 2|qv-flash|write|--port|1|--stop-bits|"
    "$files/firmware.mot|qv-flash|write|--mot|$files/fi"
    "$files/fleet.jsonl|qv-flash|write|--record|$files/fl"
    "|qv-flash|write|--rounds|"
    "|qv-flash|write|designer-word-"
)
for entry in "${cases[@]}"; do
    IFS='|' read -r -a line <<<"${entry#*|}"
    [[ $entry == *'|' ]] && line+=("")
    expect "${entry%%|*}" "${line[@]}"
done

[[ $failures -eq 0 ]] || { echo "$failures failure(s)"; exit 1; }
echo "completion: ok"
