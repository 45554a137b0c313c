# bash completion for sorvane-cli                          -*- shell-script -*-
#
# Installed as /usr/share/bash-completion/completions/sorvane-cli, where
# bash-completion loads it the first time sorvane-cli is completed; it can
# also be sourced from ~/.bashrc, as it needs nothing of bash-completion.

# The options as `sorvane-cli --help` lists them, one a line: the short name
# or "-", and the long name, followed by "=" when it takes a value, or by
# "[=]" when its value is optional and then only joined by "=".
# tests/packaging/completion_options_test.py holds every completion script
# of this folder to the program's --help.
_sorvane_cli_options='
-l --length=
-t --type=
-c --case=
-  --symbols[=]
-  --include=
-  --exclude=
-  --exclude-similar
-  --allow-similar
-  --exclude-repeats
-  --allow-repeats
-  --no-repeats
-  --weighted
-  --min-lower=
-  --min-upper=
-  --min-digits=
-  --min-symbols=
-  --every-kind
-  --words=
-  --word-list=
-  --separator=
-  --capitalize
-  --min-bits=
-n --count=
-d --dictionary=
-f --format=
-v --verbose
-h --help
-  --version
'

# Replies with the values of option $1 (its long name) that start with $2.
_sorvane_cli_values()
{
    local words='' files=''
    case $1 in
        --type) words='digits hex letters mixed' ;;
        --case) words='lower upper mixed' ;;
        --format) words='plain tsv json' ;;
        --dictionary | --word-list) files=yes ;;
    esac
    if [[ -n $files ]]; then
        # As file names: quoted where needed, folders with a slash.
        compopt -o filenames 2>/dev/null
        mapfile -t COMPREPLY < <(compgen -f -- "$2")
    else
        mapfile -t COMPREPLY < <(compgen -W "$words" -- "$2")
    fi
}

_sorvane_cli()
{
    local cur=${COMP_WORDS[COMP_CWORD]} before=${COMP_WORDS[COMP_CWORD - 1]}
    local option='' short long names=''
    COMPREPLY=()
    # bash splits "--type=h" at "=" into three words (unless "=" was taken out
    # of COMP_WORDBREAKS): the value is completed after its option's "=".
    if [[ $cur == = ]]; then
        option=$before cur=''
    elif [[ $before == = && COMP_CWORD -ge 2 ]]; then
        option=${COMP_WORDS[COMP_CWORD - 2]}
    elif [[ $cur == --*=* ]]; then
        option=${cur%%=*}
        _sorvane_cli_values "$option" "${cur#*=}"
        COMPREPLY=("${COMPREPLY[@]/#/$option=}")
        return
    fi
    while read -r short long; do
        [[ -n $long ]] || continue
        # A value in the word after its option, short or long.
        if [[ -z $option && $long == *= ]] &&
            [[ $short != - && $before == "$short" || $before == "${long%=}" ]]; then
            option=${long%=}
        fi
        [[ $short == - ]] || names+=" $short"
        # "--symbols" stands alone: a set must be joined to it by "=".
        names+=" ${long%"[=]"}"
    done <<<"$_sorvane_cli_options"
    if [[ -n $option ]]; then
        _sorvane_cli_values "$option" "$cur"
        return
    fi
    [[ -z $cur || $cur == -* ]] || return
    mapfile -t COMPREPLY < <(compgen -W "$names" -- "$cur")
    # "--length=" waits for its value.
    [[ ${#COMPREPLY[@]} -eq 1 && ${COMPREPLY[0]} == *= ]] && compopt -o nospace 2>/dev/null
}

complete -F _sorvane_cli sorvane-cli
