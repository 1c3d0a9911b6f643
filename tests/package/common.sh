# Shared by the packaging tests: failure counting and running a program with its output kept.

failures=0
checks=0

# check DESCRIPTION COMMAND...: runs COMMAND; a non-zero status is a failure.
check() {
    local what=$1
    shift
    checks=$((checks + 1))
    if ! "$@"; then
        echo "FAIL: $what"
        failures=$((failures + 1))
    fi
}

# run PROGRAM ARGS...: runs with no display at all, so that anything that needs a window fails;
# sets $status, $out and $err.
run() {
    local dir
    dir=$(mktemp -d)
    status=0
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" >"$dir/out" 2>"$dir/err" || status=$?
    out=$(cat "$dir/out")
    err=$(cat "$dir/err")
    rm -rf "$dir"
}

# The options (-x, --word) that a text mentions, one per line, sorted.
options_in() {
    grep -oE '(^|[^[:alnum:]-])--?[a-z][a-z-]*' <<<"$1" | sed 's/^[^-]*//' | sort -u
}

finish() {
    echo "$((checks - failures)) passed, $failures failed"
    [ "$failures" -eq 0 ]
}
