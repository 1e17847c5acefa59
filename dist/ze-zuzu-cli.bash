# bash completion for ze-zuzu-cli. The options, their value names and the commands are asked of
# the program itself (--list-options, --list-commands), so new ones complete without an edit here;
# chip names come from `chips` of the model, family and data folder typed so far, ports from
# `ports`.

# A word as the shell will pass it: quotes around it and backslashes before blanks removed.
_ze_zuzu_cli_dequote() {
    local word=$1
    word=${word#[\"\']}
    word=${word%[\"\']}
    printf '%s' "${word//\\ / }"
}

# Offers the lines of $1 that start with $2, each escaped for the shell.
_ze_zuzu_cli_offer() {
    local line
    while IFS= read -r line; do
        [[ -n $line && $line == "$2"* ]] && COMPREPLY+=("$(printf '%q' "$line")")
    done <<<"$1"
}

_ze_zuzu_cli() {
    local prog=${COMP_WORDS[0]/#\~/$HOME}
    local cword=$COMP_CWORD cur=${COMP_WORDS[COMP_CWORD]}
    COMPREPLY=()

    # Every option; those that take a value have a value name after a blank.
    local -a options=()
    local -A value_name=()
    local name meta
    while read -r name meta; do
        options+=("$name")
        [[ -n $meta ]] && value_name[$name]=$meta
    done < <("$prog" --list-options 2>/dev/null)

    # The option whose value is being typed: "--opt VALUE", "--opt=VALUE" (the shell splits
    # at "=").
    local option="" value=$cur
    local prev=${COMP_WORDS[cword - 1]:-}
    if [[ $cur == "=" && -n ${value_name[$prev]:-} ]]; then
        option=$prev value=""
    elif [[ $prev == "=" && -n ${value_name[${COMP_WORDS[cword - 2]:-}]:-} ]]; then
        option=${COMP_WORDS[cword - 2]}
    elif [[ -n ${value_name[$prev]:-} ]]; then
        option=$prev
    fi

    # What the words so far choose (the data folder, model, family, virtual board), and the
    # command.
    local -a context=()
    local command="" i next word
    for ((i = 1; i < cword; i++)); do
        word=${COMP_WORDS[i]}
        if [[ -n ${value_name[$word]:-} ]]; then
            next=$((i + 1))
            [[ ${COMP_WORDS[next]:-} == "=" ]] && ((next++))
            ((next < cword)) || break
            case $word in
            --data-dir | --model | --family)
                context+=("$word" "$(_ze_zuzu_cli_dequote "${COMP_WORDS[next]/#\~/$HOME}")")
                ;;
            esac
            i=$next
        elif [[ $word == --virtual-board ]]; then
            context+=("$word")
        elif [[ $word != -* && -z $command ]]; then
            command=$word
        fi
    done

    value=$(_ze_zuzu_cli_dequote "$value")
    if [[ -n $option ]]; then
        case $option in
        --chip | --virtual-chip)
            _ze_zuzu_cli_offer "$("$prog" "${context[@]}" --quiet chips 2>/dev/null)" "$value"
            ;;
        --port)
            _ze_zuzu_cli_offer "$("$prog" "${context[@]}" ports 2>/dev/null | cut -f1)" "$value"
            ;;
        --family) _ze_zuzu_cli_offer "$("$prog" --list-families 2>/dev/null)" "$value" ;;
        --model) _ze_zuzu_cli_offer $'1\n2\n3\n4' "$value" ;;
        --serial)
            # records --serial takes a serial number; program and auto a region.
            [[ $command == records ]] || _ze_zuzu_cli_offer $'rom\neeprom\nid' "$value"
            ;;
        --steps)
            # A comma list: the items before the last comma stay, the last one completes.
            local done_items="" step
            [[ $value == *,* ]] && done_items=${value%,*},
            for step in blank erase eeprom rom fuses verify; do
                [[ ,$done_items != *,$step,* && $done_items$step == "$value"* ]] &&
                    COMPREPLY+=("$done_items$step")
            done
            compopt -o nospace 2>/dev/null
            ;;
        *)
            meta=${value_name[$option]}
            if [[ $meta == *"|"* ]]; then
                _ze_zuzu_cli_offer "${meta//|/$'\n'}" "$value"
            elif [[ $meta == DIR ]]; then
                compopt -o filenames 2>/dev/null
                mapfile -t COMPREPLY < <(compgen -d -- "$value")
            elif [[ $meta == FILE ]]; then
                compopt -o filenames 2>/dev/null
                mapfile -t COMPREPLY < <(compgen -f -- "$value")
            fi
            ;;
        esac
        return 0
    fi

    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "${options[*]}" -- "$cur")
    elif [[ -z $command ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$("$prog" --list-commands 2>/dev/null |
            cut -d' ' -f1)" -- "$cur")
    elif [[ $command == sequence ]]; then
        : # a sequence's name, not a file
    else
        # Every other argument of a command is a file.
        compopt -o filenames 2>/dev/null
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
    fi
    return 0
}

complete -F _ze_zuzu_cli ze-zuzu-cli
