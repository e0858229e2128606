# Bash completion of qf: the long options (read from `qf --help`, so the
# list follows the program), the values of --type and --color, a file for
# --cf and folders for the other arguments.

_qf_values() {
    case $1 in
    --type | -t) echo "normal regex fuzzy" ;;
    --color) echo "auto always never" ;;
    esac
}

_qf() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=
    ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}
    COMPREPLY=()

    # "--type=re" arrives as one word, or as "--type" "=" "re" when "=" is
    # among the word breaks.
    local option= value= prefix=
    if [[ $cur == = ]]; then
        option=$prev
    elif [[ $prev == = ]] && ((COMP_CWORD > 1)); then
        option=${COMP_WORDS[COMP_CWORD - 2]} value=$cur
    elif [[ $cur == --*=* ]]; then
        option=${cur%%=*} value=${cur#*=} prefix="$option="
    elif [[ $prev == -t ]]; then
        option=-t value=$cur
    fi
    if [[ -n $option ]]; then
        if [[ $option == --cf ]]; then
            mapfile -t COMPREPLY < <(compgen -P "$prefix" -f -- "$value")
        else
            mapfile -t COMPREPLY < <(compgen -P "$prefix" -W "$(_qf_values "$option")" -- "$value")
        fi
        return
    fi

    if [[ $cur == -* ]]; then
        local options
        options=$("${COMP_WORDS[0]}" --help 2>/dev/null |
            sed -n 's/^ \{2,6\}\(-[A-Za-z], \)\{0,1\}\(--[a-z-]*=\{0,1\}\).*/\2/p')
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
        # An option that takes a value waits for it after the "=".
        [[ ${#COMPREPLY[@]} -eq 1 && ${COMPREPLY[0]} == *= ]] && compopt -o nospace 2>/dev/null
        return
    fi
    [[ $prev == -f || $prev == --set ]] && return
    mapfile -t COMPREPLY < <(compgen -d -- "$cur")
}

complete -F _qf qf
