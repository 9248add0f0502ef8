# What the package checks share; sourced by each of them after `set -uo pipefail`.
#   checks NAME     every later `fail TEXT` prints "NAME: TEXT" and counts a failure
#   passed SUMMARY  prints "NAME: SUMMARY" when nothing failed; its status is the verdict
#   release_epoch SOURCE_DIR
#                   the time the package carries: SOURCE_DATE_EPOCH, else the last commit's
checks() {
    check_name=$1
    failures=0
}
fail() {
    echo "$check_name: $*"
    failures=$((failures + 1))
}
passed() {
    [ "$failures" -eq 0 ] && echo "$check_name: $*"
    [ "$failures" -eq 0 ]
}
release_epoch() {
    if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
        echo "$SOURCE_DATE_EPOCH"
    else
        git -C "$1" log -1 --format=%ct
    fi
}
