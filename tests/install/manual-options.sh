#!/usr/bin/env bash
# Every command, long option and environment variable that `vokrec ... --help`
# names is documented in the manual page, and the page renders without a
# warning.
#   tests/install/manual-options.sh path/to/vokrec docs/vokrec.1
set -euo pipefail
vokrec=$1 page=$2
text=$(sed 's/\\-/-/g; s/\\f[BIRP]//g' "$page") # roff escapes out of the way
fail=0
for cmd in "" record analyse devices; do
    # shellcheck disable=SC2086
    help=$("$vokrec" $cmd --help)
    for word in $cmd $(grep -oE -- '--[a-z][a-z-]*|\bVOK_[A-Z_]+' <<<"$help" | sort -u); do
        grep -qF -- "$word" <<<"$text" || {
            echo "vokrec ${cmd:-} --help names $word; $page does not"
            fail=1
        }
    done
done
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null || true)
[ -z "$warnings" ] || { echo "$warnings" && fail=1; }
[ $fail = 0 ] && echo "every command, option and variable of the help is in $page"
exit $fail
