# bash completion for zelpdev2k-cli: commands, their options, setting names, files.
_zelpdev2k_cli() {
    local cur prev words cword
    _init_completion -n = || return

    local commands
    commands=$(zelpdev2k-cli --help 2>/dev/null | awk '/^Commands:/ {on=1; next} on && /^  [a-z]/ {print $1} on && /^$/ {on=0}')
    [ -n "$commands" ] || commands="settings new show set export import diff test publish convert"
    commands="$commands help"

    if [ "$cword" -eq 1 ]; then
        COMPREPLY=($(compgen -W "$commands --help --version" -- "$cur"))
        return
    fi

    local command=${words[1]}
    case $prev in
        --html|--index|--report|--into|-o)
            _filedir -d
            [ "$prev" = --html ] || [ "$prev" = --index ] && _filedir htm
            return ;;
        --timeout|--jobs) return ;;
        --value)
            # Names only: a value is the user's to type.
            [[ $cur == *=* ]] && return
            COMPREPLY=($(compgen -S = -W "$(zelpdev2k-cli settings 2>/dev/null | awk 'NR>1 {print $1}')" -- "$cur"))
            compopt -o nospace
            return ;;
    esac

    if [[ $cur == -* ]]; then
        local options
        options=$(zelpdev2k-cli "$command" --help 2>/dev/null | grep -oE -- '--[a-z][a-z-]*' | sort -u)
        COMPREPLY=($(compgen -W "$options --help" -- "$cur"))
        return
    fi
    # "set FILE NAME=VALUE...": names after the file; with --value pairs files and folders.
    if [ "$command" = set ] && [[ $cur == *=* ]]; then
        return
    fi
    if [ "$command" = set ] && [[ $cur != */* ]] && [ "$cword" -ge 3 ] &&
        [[ " ${words[*]:2:cword-2} " != *" --value "* ]]; then
        local names
        names=$(zelpdev2k-cli settings 2>/dev/null | awk 'NR>1 {print $1}')
        COMPREPLY=($(compgen -S = -W "$names" -- "$cur"))
        [ ${#COMPREPLY[@]} -gt 0 ] && { compopt -o nospace; return; }
    fi
    if [ "$command" = help ]; then
        COMPREPLY=($(compgen -W "$commands" -- "$cur"))
        return
    fi
    _filedir
}
complete -F _zelpdev2k_cli zelpdev2k-cli
