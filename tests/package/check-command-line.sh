#!/usr/bin/env bash
# The two programs' command lines as the manual pages describe them: --help and --version print
# without a display, wrong arguments end with one line on stderr and status 2, and output that
# cannot be written is an error.
#   check-command-line.sh BIN_DIR VERSION
set -uo pipefail
BIN=$1
VERSION=$2
. "$(dirname "$0")/common.sh"

game="$BIN/cellwright"
gen="$BIN/cellwright-gen"

run "$game" --version
check "cellwright --version prints 'cellwright $VERSION' (got status $status, '$out', '$err')" \
    test "$status:$out:$err" = "0:cellwright $VERSION:"

for help in --help -h; do
    run "$game" $help
    check "cellwright $help: status 0, nothing on stderr" test "$status:$err" = "0:"
    check "cellwright $help starts with the usage line" test "$(head -n1 <<<"$out")" = "usage: cellwright [--help | --version]"
    check "cellwright $help names --help and --version" test "$(options_in "$out" | grep -cxE -- '-h|--help|--version')" = 3
done

# Qt's own options are not refused: a session manager restarts the game with -session.
run "$game" -session 1234_5678 --platform offscreen --version
check "Qt's options pass (got status $status, '$err')" test "$status:$out" = "0:cellwright $VERSION"

for args in "--bogus" "-x" "puzzle" "-platform" "--help-me" "-version"; do
    run "$game" $args
    check "cellwright $args: status 2, one line on stderr, nothing on stdout (got $status, '$err')" \
        test "$status:$(wc -l <<<"$err"):$out" = "2:1:"
    check "cellwright $args: the message names the argument" grep -qF -- "'$args'" <<<"$err"
done

run "$gen" --help
check "cellwright-gen --help: status 0, nothing on stderr" test "$status:$err" = "0:"
check "cellwright-gen --help starts with the usage line" \
    test "$(head -n1 <<<"$out")" = "usage: cellwright-gen grid|easy|hard [--count N] [--seed S] [--solution] [--stats]"
run "$gen" easy --bogus
check "cellwright-gen with a wrong argument: status 2 and the usage on stderr" \
    test "$status:$(tail -n1 <<<"$err" | cut -c1-6)" = "2:usage:"

# A full disk must not look like success.
for cmd in "$game --help" "$game --version" "$gen --help" "$gen easy --count 20 --seed 1"; do
    status=0
    $cmd >/dev/full 2>/dev/null || status=$?
    check "$cmd into a full disk ends with status 1 (got $status)" test "$status" = 1
done

finish
