# SPDX-License-Identifier: MIT
# fish completion for vexilo: commands, their options, transform modes, categories, and the ids of the
# clips in the history (from `vexilo list --ids`, answered by the running application when there is one).

# The command: the first word that is not an option of vexilo itself or its value.
function __vexilo_command
    set -l words (commandline -opc)
    set -e words[1]
    while set -q words[1]
        switch $words[1]
            case --data-dir
                set -e words[1]
            case '-*'
            case '*'
                echo $words[1]
                return 0
        end
        set -e words[1]
    end
    return 1
end

# How many arguments follow the command, leaving options and their values out.
function __vexilo_argument_count
    set -l count -1
    set -l skip 0
    for word in (commandline -opc)[2..-1]
        if test $skip = 1
            set skip 0
            continue
        end
        switch $word
            case --data-dir --limit --category --tag --search --title --shortcut --tags --png --size
                set skip 1
            case '-*'
            case '*'
                set count (math $count + 1)
        end
    end
    echo $count
end

function __vexilo_is
    set -l command (__vexilo_command); or return 1
    contains -- $command $argv
end

# True when the word being completed is argument number $position (from 0) of one of the commands.
function __vexilo_at -a position
    __vexilo_is $argv[2..-1]; and test (__vexilo_argument_count) = $position
end

function __vexilo_ids
    set -l words (commandline -opc)
    set -l data_dir
    if set -l i (contains -i -- --data-dir $words); and set -q words[(math $i + 1)]
        set data_dir --data-dir $words[(math $i + 1)]
    end
    vexilo $data_dir list --ids 2>/dev/null
end

complete -c vexilo -f
complete -c vexilo -n 'not __vexilo_command' -l data-dir -x -a '(__fish_complete_directories)' -d 'Work on the history in this folder'
complete -c vexilo -n 'not __vexilo_command' -l help -d 'Print the help'
complete -c vexilo -n 'not __vexilo_command' -l version -d 'Print the version'

complete -c vexilo -n 'not __vexilo_command' -a list -d 'List clips'
complete -c vexilo -n 'not __vexilo_command' -a show -d 'Show one clip'
complete -c vexilo -n 'not __vexilo_command' -a add -d 'Record a text'
complete -c vexilo -n 'not __vexilo_command' -a add-image -d 'Record an image file'
complete -c vexilo -n 'not __vexilo_command' -a add-files -d 'Record a list of files'
complete -c vexilo -n 'not __vexilo_command' -a pin -d 'Pin a clip'
complete -c vexilo -n 'not __vexilo_command' -a unpin -d 'Unpin a clip'
complete -c vexilo -n 'not __vexilo_command' -a tag -d 'Add a tag to a clip'
complete -c vexilo -n 'not __vexilo_command' -a untag -d 'Remove a tag from a clip'
complete -c vexilo -n 'not __vexilo_command' -a delete -d 'Delete a clip'
complete -c vexilo -n 'not __vexilo_command' -a clear -d 'Remove every clip that is not pinned'
complete -c vexilo -n 'not __vexilo_command' -a transform -d 'Print a clip converted'
complete -c vexilo -n 'not __vexilo_command' -a export -d 'Write the history to a file'
complete -c vexilo -n 'not __vexilo_command' -a snippet -d 'Create a snippet'
complete -c vexilo -n 'not __vexilo_command' -a snippets -d 'List the snippets'
complete -c vexilo -n 'not __vexilo_command' -a ocr -d 'Recognise the text in an image clip'
complete -c vexilo -n 'not __vexilo_command' -a qr -d 'The QR code of a clip'
complete -c vexilo -n 'not __vexilo_command' -a share -d 'Share an image clip with a phone'
complete -c vexilo -n 'not __vexilo_command' -a unshare -d 'Stop sharing'
complete -c vexilo -n 'not __vexilo_command' -a check-update -d 'Look for a newer version'
complete -c vexilo -n 'not __vexilo_command' -a paste -d 'Paste a clip into the window in front'
complete -c vexilo -n 'not __vexilo_command' -a paste-slot -d 'Paste the N-th newest clip'
complete -c vexilo -n 'not __vexilo_command' -a toggle -d 'Show or hide the history window'
complete -c vexilo -n 'not __vexilo_command' -a pause -d 'Pause recording'
complete -c vexilo -n 'not __vexilo_command' -a resume -d 'Resume recording'
complete -c vexilo -n 'not __vexilo_command' -a status -d 'What Vexilo is doing'
complete -c vexilo -n 'not __vexilo_command' -a quit -d 'Quit the running application'

complete -c vexilo -n __vexilo_command -l help -d 'Describe the command'
complete -c vexilo -n '__vexilo_is list show snippets' -l json -d 'Print JSON'
complete -c vexilo -n '__vexilo_is list' -l ids -d 'Print ids and titles'
complete -c vexilo -n '__vexilo_is list' -l limit -x -d 'At most N clips'
complete -c vexilo -n '__vexilo_is list' -l category -x -a 'All Pinned Snippets Text Image Links Code Files' -d 'Only this category'
complete -c vexilo -n '__vexilo_is list' -l tag -x -d 'Only clips with this tag'
complete -c vexilo -n '__vexilo_is list' -l search -x -d 'Only clips that match'
complete -c vexilo -n '__vexilo_is clear' -l all -d 'Pinned clips too'
complete -c vexilo -n '__vexilo_is snippet' -l title -x -d 'The title'
complete -c vexilo -n '__vexilo_is snippet' -l shortcut -x -d 'The typed shortcut'
complete -c vexilo -n '__vexilo_is snippet' -l tags -x -d 'Comma-separated tags'
complete -c vexilo -n '__vexilo_is qr' -l png -r -F -d 'Write the code as a PNG here'
complete -c vexilo -n '__vexilo_is qr' -l size -x -d 'Pixels'

complete -c vexilo -n '__vexilo_at 0 show pin unpin tag untag delete ocr qr share paste' -x -a '(__vexilo_ids)'
complete -c vexilo -n '__vexilo_at 0 transform' -x -a 'uppercase lowercase titleCase trimWhitespace singleLine jsonEscaped urlEncoded base64Encoded base64Decoded'
complete -c vexilo -n '__vexilo_at 1 transform' -x -a '(__vexilo_ids)'
complete -c vexilo -n '__vexilo_at 0 export' -x -a 'json markdown'
complete -c vexilo -n '__vexilo_at 1 export' -F
complete -c vexilo -n '__vexilo_at 0 snippet' -x -a add
complete -c vexilo -n '__vexilo_at 0 paste-slot' -x -a '1 2 3 4 5 6 7 8 9'
complete -c vexilo -n '__vexilo_is add-image add-files' -F
