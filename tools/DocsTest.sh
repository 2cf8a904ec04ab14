#!/usr/bin/env bash
# The docs name only what the tree has. Of each `code span` of README.md,
# ARCHITECTURE.md and docs/*.md outside fenced blocks:
# - a path (no blanks, a slash, beginning with a folder's name of the tree) must
#   be a tracked file or folder, or the end of one's path (`qt/`);
# - a file's name (ending in the extension of a tracked file) must be a tracked
#   file's, or be found in one (a file the build writes);
# - a code name with a capital or an underscore (`Deliver`, `form::Events`,
#   `session.Firefox`, also as `Name(...)`, `NAME=value`, `-DNAME=value`) must
#   be found as a word in a tracked file but the docs and this script: each part
#   of a::b, the last of a.b (whose owner may be the platform's; a.b in lower
#   case is a setting's key, a browser's or a tool's, and is not checked).
# Anything else is a command line, an option, a package, host or CSS name or a
# text; nor are the standard library's names (std::) checked, nor these, the
# platform's, which the docs name as what the game does without:
outside=" innerHTML XMLHttpRequest MINIMAL_RUNTIME CXXFLAGS "
# A miss prints "doc:line: name" and fails the check.
# usage: tools/DocsTest.sh [TREE]     (default: the tree this script is in)
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"
git rev-parse --is-inside-work-tree >/dev/null 2>&1 || {
    echo "not a git work tree: nothing to check against" >&2
    exit 77
}
files=$(git ls-files | sed 's|.*|/&/|')
extensions=" $(git ls-files | sed -n 's/.*\.\([[:alnum:]]*\)$/\1/p' | sort -u | tr '\n' ' ') "
found() { git grep -q -w -F -e "$1" -- . ':!*.md' ':!tools/DocsTest.sh'; }
name='[A-Za-z_][A-Za-z0-9_]*'
status=0
while IFS=$'\t' read -r doc line span; do
    miss=
    if [[ $span =~ ^[^[:space:]]*/[^[:space:]]*$ ]] &&
        { grep -qF "/${span%%/*}/" <<<"$files" || [[ $span =~ ^[[:alnum:]._-]+/$ ]]; }; then
        grep -qF "/${span%/}/" <<<"$files" || miss=$span
    elif [[ $span =~ ^[[:alnum:]_][[:alnum:]_.-]*\.([[:alnum:]]+)$ && $extensions == *" ${BASH_REMATCH[1]} "* ]]; then
        grep -qF "/$span/" <<<"$files" || found "$span" || miss=$span
    elif [[ $span =~ ^(-D)?($name((::|\.)$name)*)(\(.*\)|=.*)?$ ]]; then
        span=${BASH_REMATCH[2]}
        # (a.b in lower case is a setting's key, a browser's or a tool's)
        if [[ $span =~ [A-Z_] && $span != std::* && $outside != *" $span "* &&
            ! ($span == *.* && ! $span =~ [A-Z]) ]]; then
            parts=${span//::/ }
            [[ $span == *::* ]] || parts=${span##*.}
            for part in $parts; do found "$part" || miss=$span; done
        fi
    fi
    [[ -z $miss ]] || {
        echo "$doc:$line: $miss"
        status=1
    }
done < <(awk -F'`' '
    FNR == 1 { open = 0; fenced = 0 }
    /^[[:space:]]*```/ { fenced = !fenced; next }
    fenced { next }
    {
        # Even fields are in a span, but the first where one goes on from the
        # line before (broken over lines: not a name).
        for (i = 1; i < NF; i++)
            if ((i % 2 == 0) != open && !(open && i == 1)) print FILENAME "\t" FNR "\t" $i
        if (NF > 1 && NF % 2 == 0) open = !open
    }' README.md ARCHITECTURE.md docs/*.md)
exit $status
