# Reads a program's --help text (CLI11's layout) into tab-separated lines, so the man page and
# the shell completion are made from what the program itself accepts. Sourced, not run.
#
# help_section PROGRAM [COMMAND] SECTION
#   prints one line per entry of SECTION ("Options", "Subcommands", "Positionals"):
#   NAMES<TAB>VALUE<TAB>DESCRIPTION, where NAMES is the entry's name or its comma-separated
#   option names, VALUE the value it takes as the help shows it ("-" for a flag, so
#   that no field is empty), and
#   DESCRIPTION its one-line help.

help_section() {
    local program=$1 section=${!#} text
    local -a command=("${@:2:$#-2}")
    text=$("$program" "${command[@]}" --help) || return 1
    printf '%s\n' "$text" | awk -v want="$section:" '
        function emit(spec, description,   words) {
            split(spec, words, " ")
            printf "%s\t%s\t%s\n", words[1], (words[2] ~ /^[A-Z]/ ? words[2] : "-"), description
        }
        # A heading is a line of its own at the left margin; a blank line ends a section.
        /^[^ ].*:$/ { section = $0; pending = ""; next }
        /^[ \t]*$/ { section = ""; next }
        section != want { next }
        # An entry starts two spaces in; its help follows after a run of two or more blanks,
        # or on the next, deeper indented line when the entry is too long.
        /^  [^ ]/ {
            line = substr($0, 3)
            if (match(line, /  +/)) {
                emit(substr(line, 1, RSTART - 1), substr(line, RSTART + RLENGTH))
                pending = ""
            } else {
                pending = line
            }
            next
        }
        pending != "" { sub(/^ +/, ""); emit(pending, $0); pending = "" }
    '
}
