#!/usr/bin/env bash
# The companion's bash completion, word by word as bash hands it over.
# Usage: completion_test.sh COMPLETION-FILE FOLDER-OF-zelpdev2k-cli
set -u
source /usr/share/bash-completion/bash_completion
source "$1"
compopt() { :; } # only bash itself may call it, while it completes
PATH="$(cd "$2" && pwd):$PATH"
cd "$(mktemp -d)" && mkdir sessions && trap 'rm -rf "$PWD"' EXIT
failed=0
# The command line up to the cursor; a word the replies must hold, or "-" for none at all.
check() {
    local line=$1 want=$2
    COMP_LINE=$line COMP_POINT=${#line}
    read -ra COMP_WORDS <<< "$line"
    [[ $line == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _zelpdev2k_cli zelpdev2k-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD-1]}"
    local got=" ${COMPREPLY[*]} "
    [[ $want == - && -z ${COMPREPLY[*]} || $want != - && $got == *" $want "* ]] ||
        { echo "'$line': wanted '$want', got:$got" >&2; failed=1; }
}
check "zelpdev2k-cli he" help
check "zelpdev2k-cli help se" settings
check "zelpdev2k-cli set --value sHostNa" sHostName=
check "zelpdev2k-cli set --value sHostName=mai" -
check "zelpdev2k-cli set --value sHostName=main --va" --value
check "zelpdev2k-cli set --value sHostName=main sess" sessions
check "zelpdev2k-cli set --value sHostName=main " sessions
check "zelpdev2k-cli set a.ats sHostPo" sHostPort=
check "zelpdev2k-cli set a.ats sHostPort=23" -
exit $failed
