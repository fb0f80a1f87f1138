# SPDX-License-Identifier: MIT
# bash completion for vexilo: commands, their options, transform modes, categories, and the ids of the
# clips in the history (from `vexilo list --ids`, answered by the running application when there is one).

_vexilo_ids()
{
    local data_dir=$1
    vexilo ${data_dir:+--data-dir "$data_dir"} list --ids 2>/dev/null | cut -f1
}

_vexilo()
{
    local cur prev
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD-1]}

    local commands="list show add add-image add-files pin unpin tag untag delete clear transform export snippet
        snippets ocr qr share unshare check-update paste paste-slot toggle pause resume status quit"
    local modes="uppercase lowercase titleCase trimWhitespace singleLine jsonEscaped urlEncoded base64Encoded
        base64Decoded"
    local categories="All Pinned Snippets Text Image Links Code Files"

    # The command is the first word that is not an option of vexilo itself (or its value).
    local i command="" data_dir="" position=0
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
        --data-dir) data_dir=${COMP_WORDS[i + 1]}; ((i++)) ;;
        --data-dir=*) data_dir=${COMP_WORDS[i]#--data-dir=} ;;
        --limit | --category | --tag | --search | --title | --shortcut | --tags | --png | --size) ((i++)) ;;
        -*) ;;
        *)
            if [[ -z $command ]]; then
                command=${COMP_WORDS[i]}
            else
                ((position++))
            fi
            ;;
        esac
    done

    case $prev in
    --data-dir)
        COMPREPLY=($(compgen -d -- "$cur"))
        return
        ;;
    --category)
        COMPREPLY=($(compgen -W "$categories" -- "$cur"))
        return
        ;;
    --png)
        COMPREPLY=($(compgen -f -- "$cur"))
        return
        ;;
    --limit | --tag | --search | --title | --shortcut | --tags | --size)
        return
        ;;
    esac

    if [[ -z $command ]]; then
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W "--data-dir --help --version" -- "$cur"))
        else
            COMPREPLY=($(compgen -W "$commands" -- "$cur"))
        fi
        return
    fi

    if [[ $cur == -* ]]; then
        local options="--help"
        case $command in
        list) options+=" --json --ids --limit --category --tag --search" ;;
        show | snippets) options+=" --json" ;;
        clear) options+=" --all" ;;
        snippet) options+=" --title --shortcut --tags" ;;
        qr) options+=" --png --size" ;;
        esac
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi

    case $command in
    show | pin | unpin | delete | ocr | share | paste | tag | untag | qr)
        [[ $position -eq 0 ]] && COMPREPLY=($(compgen -W "$(_vexilo_ids "$data_dir")" -- "$cur"))
        ;;
    transform)
        if [[ $position -eq 0 ]]; then
            COMPREPLY=($(compgen -W "$modes" -- "$cur"))
        elif [[ $position -eq 1 ]]; then
            COMPREPLY=($(compgen -W "$(_vexilo_ids "$data_dir")" -- "$cur"))
        fi
        ;;
    export)
        if [[ $position -eq 0 ]]; then
            COMPREPLY=($(compgen -W "json markdown" -- "$cur"))
        else
            COMPREPLY=($(compgen -f -- "$cur"))
        fi
        ;;
    snippet) [[ $position -eq 0 ]] && COMPREPLY=($(compgen -W "add" -- "$cur")) ;;
    paste-slot) [[ $position -eq 0 ]] && COMPREPLY=($(compgen -W "1 2 3 4 5 6 7 8 9" -- "$cur")) ;;
    add-image | add-files) COMPREPLY=($(compgen -f -- "$cur")) ;;
    esac
}

complete -F _vexilo vexilo
