# SPDX-License-Identifier: MIT
# Warnings, strict Qt definitions and sanitizers shared by every target of the project.
add_library(vexilo_flags INTERFACE)
target_compile_options(vexilo_flags INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
    -Wcast-align -Woverloaded-virtual -Wnull-dereference -Wformat=2)
if(VEXILO_WERROR)
    target_compile_options(vexilo_flags INTERFACE -Werror)
endif()
target_compile_definitions(vexilo_flags INTERFACE
    QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_CAST_FROM_BYTEARRAY QT_NO_KEYWORDS
    QT_NO_URL_CAST_FROM_STRING QT_USE_QSTRINGBUILDER QT_DISABLE_DEPRECATED_BEFORE=0x060400)
# Release builds are the ones packaged: the hardening Debian builds its own packages with.
target_compile_definitions(vexilo_flags INTERFACE $<$<CONFIG:Release>:_FORTIFY_SOURCE=2>)
target_compile_options(vexilo_flags INTERFACE $<$<CONFIG:Release>:-fstack-protector-strong>)
target_link_options(vexilo_flags INTERFACE $<$<CONFIG:Release>:LINKER:-z,relro,-z,now>)
if(VEXILO_SANITIZE)
    target_compile_options(vexilo_flags INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
        -fno-sanitize-recover=undefined)
    target_link_options(vexilo_flags INTERFACE -fsanitize=address,undefined)
endif()
if(VEXILO_TSAN)
    if(VEXILO_SANITIZE)
        message(FATAL_ERROR "VEXILO_TSAN and VEXILO_SANITIZE cannot be combined")
    endif()
    target_compile_options(vexilo_flags INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
    target_link_options(vexilo_flags INTERFACE -fsanitize=thread)
endif()
