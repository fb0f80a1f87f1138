# SPDX-License-Identifier: MIT
# Writes the man page from the program's own help, so that it cannot drift from it: help2man turns
# `vexilo --help` and `--version` into the page, and each command's `vexilo COMMAND --help` becomes an
# entry of its COMMANDS section.
#   cmake -DVEXILO=<vexilo> -DHELP2MAN=<help2man> -DINCLUDE=<vexilo.h2m> -DWORK=<folder> -DOUTPUT=<vexilo.1> -P ManPage.cmake
execute_process(COMMAND ${VEXILO} --help OUTPUT_VARIABLE help RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${VEXILO} --help failed: ${result}")
endif()

# The command names: the first word of each line of the "Commands:" paragraph.
string(REGEX MATCH "\nCommands:\n([^\n]+\n)+" block "${help}")
string(REGEX MATCHALL "\n  [a-z-]+" names "${block}")
if(NOT names)
    message(FATAL_ERROR "no commands found in the help of ${VEXILO}")
endif()

set(section "[COMMANDS]\n")
foreach(name IN LISTS names)
    string(STRIP "${name}" name)
    execute_process(COMMAND ${VEXILO} ${name} --help OUTPUT_VARIABLE text RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${VEXILO} ${name} --help failed: ${result}")
    endif()
    # "Usage: vexilo SYNOPSIS\n\nDESCRIPTION\n"
    string(REGEX REPLACE "^Usage: vexilo ([^\n]*)\n\n(.*)\n$" "\\1" synopsis "${text}")
    string(REGEX REPLACE "^Usage: vexilo ([^\n]*)\n\n(.*)\n$" "\\2" description "${text}")
    foreach(var synopsis description)
        # roff: a backslash is written twice, a leading dot or quote would start a request.
        string(REPLACE "\\" "\\\\" ${var} "${${var}}")
        string(REPLACE "-" "\\-" ${var} "${${var}}")
        string(REPLACE "\"" "\\(dq" ${var} "${${var}}")
        string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" ${var} "${${var}}")
    endforeach()
    string(APPEND section ".TP\n.B ${synopsis}\n${description}\n")
endforeach()
file(WRITE ${WORK}/commands.h2m "${section}")

execute_process(
    COMMAND ${HELP2MAN} --no-info --section 1 --source Vexilo --include ${INCLUDE} --include ${WORK}/commands.h2m
            --output ${OUTPUT} ${VEXILO}
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "help2man failed on ${VEXILO}: ${result}")
endif()
# The help's list of synopses, one a line, would be filled into one paragraph: keep its lines.
file(READ ${OUTPUT} page)
string(REGEX REPLACE "\\.SS \"Commands:\"\n\\.IP\n(([^.\n][^\n]*\n)+)" ".SS \"Commands:\"\n.nf\n\\1.fi\n" page
       "${page}")
file(WRITE ${OUTPUT} "${page}")
