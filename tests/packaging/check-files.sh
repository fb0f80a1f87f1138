#!/usr/bin/env bash
# The desktop entry and the AppStream metainfo pass the freedesktop validators, the man page renders
# without warnings and describes every command, and the completions know every command and option of
# the help and complete clip ids from a real history.
#   check-files.sh SOURCE_DIR VEXILO MAN_PAGE
set -uo pipefail
source_dir=$1
vexilo=$(realpath "$2")
man_page=$3
packaging=$source_dir/packaging
for tool in desktop-file-validate appstreamcli man fish zsh; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
[ -f "$man_page" ] || { echo "SKIP: no man page was built (help2man missing)"; exit 77; }

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/share
data=$work/data

# --- Validators: no output at all from desktop-file-validate; no warning or error from appstreamcli.
out=$(desktop-file-validate "$packaging/app.vexilo.Vexilo.desktop" 2>&1) || fail "desktop-file-validate failed"
[ -z "$out" ] || fail "desktop-file-validate: $out"
out=$(appstreamcli validate --no-net --no-color "$packaging/app.vexilo.Vexilo.metainfo.xml" 2>&1) ||
    fail "appstreamcli validate failed: $out"
grep -E '^(E|W):' <<<"$out" && fail "appstreamcli reports errors or warnings"
# Software centres show the screenshots from the project's site, which publishes docs/screenshots.
shots=$(grep -o '<image>[^<]*</image>' "$packaging/app.vexilo.Vexilo.metainfo.xml" | sed 's|<image>https://vexilo.app/screenshots/||; s|</image>||')
[ -n "$shots" ] || fail "the metainfo has no screenshots"
for shot in $shots; do
    [ -f "$source_dir/docs/screenshots/$shot" ] || fail "the metainfo shows $shot, which is not in docs/screenshots"
done

# --- The version the program prints is the newest release of the metainfo and of the changelog.
version=$("$vexilo" --version) || fail "vexilo --version failed"
[[ $version =~ ^vexilo\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "vexilo --version printed \"$version\""
version=${version#vexilo }
grep -q "<release version=\"$version\"" "$packaging/app.vexilo.Vexilo.metainfo.xml" ||
    fail "the metainfo has no release $version"
head -1 "$packaging/changelog" | grep -q "^vexilo ($version)" || fail "the changelog does not start at $version"

# --- The help: its commands, each command's options, the transform modes and the categories.
help=$("$vexilo" --help)
commands=$(sed -n '/^Commands:$/,/^$/p' <<<"$help" | awk 'NF && $1 != "Commands:" { print $1 }')
[ "$(wc -l <<<"$commands")" -ge 20 ] || fail "too few commands in vexilo --help: $commands"
modes=$("$vexilo" transform --help | grep -o 'uppercase, .*base64Decoded' | tr -d ',')
categories=$("$vexilo" list --help | grep -o 'All, Pinned[^.]*' | tr -d ',')
[ -n "$modes" ] && [ -n "$categories" ] || fail "no transform modes or categories in the help"

# --- The man page renders cleanly and has an entry for every command.
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=100 man --warnings -E UTF-8 -l "$man_page" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "man page warnings: $warnings"
rendered=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -E UTF-8 -l "$man_page" 2>/dev/null | col -b)
for section in SYNOPSIS DESCRIPTION COMMANDS FILES; do
    grep -q "^$section" <<<"$rendered" || fail "the man page has no $section section"
done
for command in $commands; do
    grep -Eq "^ +$command( |$)" <<<"$rendered" || fail "the man page has no entry for \"$command\""
done
grep -q -- "--version" <<<"$rendered" || fail "the man page does not mention --version"

# --- Every command, option, mode and category of the help is in each completion file.
for file in vexilo.bash _vexilo vexilo.fish; do
    for command in $commands; do
        grep -Eq "(^|[ '(|\"])$command([ :'|)\"]|$)" "$packaging/completions/$file" ||
            fail "$file lacks the command $command"
    done
    for option in $(grep -oE -- '--[a-z-]+' <<<"$help" | sort -u) \
        $(for c in $commands; do "$vexilo" "$c" --help | head -1 | grep -oE -- '--[a-z-]+'; done | sort -u); do
        word=${option#--}
        grep -Eq -- "(--|-l )$word([ =\"')\[]|$)" "$packaging/completions/$file" || fail "$file lacks the option $option"
    done
    for word in $modes $categories; do
        grep -q "\b$word\b" "$packaging/completions/$file" || fail "$file lacks $word"
    done
done
bash -n "$packaging/completions/vexilo.bash" || fail "vexilo.bash does not parse"
zsh -n "$packaging/completions/_vexilo" || fail "_vexilo does not parse"
fish -n "$packaging/completions/vexilo.fish" || fail "vexilo.fish does not parse"

# --- What the completions offer, with the program on PATH and a history of two clips.
mkdir -p "$work/bin"
ln -s "$vexilo" "$work/bin/vexilo"
ln -s "$(dirname "$vexilo")/vexilo-app" "$work/bin/vexilo-app"
export PATH=$work/bin:$PATH
first=$(vexilo --data-dir "$data" add "first clip") && second=$(vexilo --data-dir "$data" add "second: clip") ||
    fail "vexilo add failed"
ids=$(vexilo --data-dir "$data" list --ids)
[ "$ids" = "$second	second: clip
$first	first clip" ] || fail "vexilo list --ids printed: $ids"

bash_complete() {
    # shellcheck disable=SC1091
    bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _vexilo; printf "%s\n" "${COMPREPLY[@]}" | sort' \
        _ "$packaging/completions/vexilo.bash" "$@"
}
expect() {
    local shell=$1 line=$2 got=$3 want=$4
    [ "$got" = "$want" ] || fail "$shell completes \"$line\" as [${got//$'\n'/ }], not [${want//$'\n'/ }]"
}
sorted() { printf '%s\n' "$@" | sort; }
expect bash "vexilo tr" "$(bash_complete vexilo tr)" "transform"
expect bash "vexilo transform " "$(bash_complete vexilo transform '')" "$(sorted $modes)"
expect bash "vexilo --data-dir D transform base64Encoded " \
    "$(bash_complete vexilo --data-dir "$data" transform base64Encoded '')" "$(sorted "$first" "$second")"
expect bash "vexilo --data-dir D show " "$(bash_complete vexilo --data-dir "$data" show '')" "$(sorted "$first" "$second")"
expect bash "vexilo list --category " "$(bash_complete vexilo list --category '')" "$(sorted $categories)"
expect bash "vexilo list --i" "$(bash_complete vexilo list --i)" "--ids"
expect bash "vexilo qr --png F " "$(bash_complete vexilo --data-dir "$data" qr --png f.png '')" "$(sorted "$first" "$second")"
expect bash "vexilo --v" "$(bash_complete vexilo --v)" "--version"

fish_complete() { fish -c "source '$packaging/completions/vexilo.fish'; complete -C '$1'" | sort; }
expect fish "vexilo tr" "$(fish_complete 'vexilo tr')" "transform	Print a clip converted"
expect fish "vexilo transform " "$(fish_complete 'vexilo transform ' | cut -f1)" "$(sorted $modes)"
expect fish "vexilo --data-dir D transform uppercase " \
    "$(fish_complete "vexilo --data-dir $data transform uppercase ")" "$(sorted "$first	first clip" "$second	second: clip")"
expect fish "vexilo list --category " "$(fish_complete 'vexilo list --category ' | cut -f1)" "$(sorted $categories)"

zsh_complete() { zsh "$(dirname "$0")/zsh-complete.zsh" "$packaging/completions" "$1"; }
expect zsh "vexilo tr" "$(zsh_complete 'vexilo tr')" "transform"
expect zsh "vexilo transform " "$(zsh_complete 'vexilo transform ')" "$(sorted $modes)"
expect zsh "vexilo --data-dir D show " "$(zsh_complete "vexilo --data-dir $data show ")" "$(sorted "$first" "$second")"
expect zsh "vexilo --data-dir=D transform uppercase " \
    "$(zsh_complete "vexilo --data-dir=$data transform uppercase ")" "$(sorted "$first" "$second")"
expect zsh "vexilo list --category " "$(zsh_complete 'vexilo list --category ')" "$(sorted $categories)"
expect zsh "vexilo list --i" "$(zsh_complete 'vexilo list --i')" "--ids"

[ "$failures" -eq 0 ] || { echo "$failures checks failed"; exit 1; }
echo "all packaging checks passed"
