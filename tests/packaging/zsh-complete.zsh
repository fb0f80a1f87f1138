# SPDX-License-Identifier: MIT
# Prints what zsh's completion offers after a command line, one candidate a line: an interactive zsh on
# a pseudo-terminal, with the completion functions of FOLDER, records each compadd and is sent LINE<Tab>.
#   zsh zsh-complete.zsh FOLDER LINE
zmodload zsh/zpty
local work=$(mktemp -d)
trap 'zpty -d z 2>/dev/null; rm -rf $work' EXIT
# Runs a command in the shell and waits until it is done, so that keys typed next reach the line editor.
run() {
  zpty -w z "$1; print \$? >$work/done"
  local i line
  for i in {1..400}; do
    [[ -s $work/done ]] && break
    zpty -r -t z line
    sleep 0.05
  done
  [[ -s $work/done ]] || { print -u2 "zsh did not run: $1"; exit 1 }
  rm -f $work/done
}
zpty z zsh -f -i
run "fpath=($1 \$fpath); autoload -Uz compinit; compinit -u -D; bindkey '^I' complete-word"
run "compadd() { local -a hits; builtin compadd -A hits \"\$@\"; builtin compadd \"\$@\"; print -rl -- \$hits >>$work/hits; }"
zpty -w -n z "$2"$'\t'
run $'\C-u'"true"
[[ -f $work/hits ]] && grep -v '^$' $work/hits | sort -u
