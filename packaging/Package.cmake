# SPDX-License-Identifier: MIT
# `cpack` in a build folder makes vexilo_<version>_<arch>.deb of what `cmake --install` puts under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vexilo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Vexilo developers")
set(CPACK_PACKAGE_CONTACT "The Vexilo developers <hello@vexilo.app>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "clipboard history for the Linux desktop")
# Wrapped for Debian's 80-column description.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Vexilo records what you copy (text, links, code, colours, images and lists"
    "of files) into a local, searchable history. It lives in the system tray and"
    "puts clips back by copying them or by pasting them into the window you came"
    "from. It has a history window on a hotkey, snippets expanded from typed"
    "shortcuts, text recognition in images, QR codes to take a clip to a phone,"
    "export as JSON or Markdown, and the command-line client vexilo.")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://vexilo.app)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# The libraries the programs link, found by dpkg-shlibdeps; then what they load at run time: the QML
# modules the views import, the English text-recognition data and the fallback icon theme.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qml6-module-qtquick, qml6-module-qtquick-controls, qml6-module-qtquick-templates, qml6-module-qtquick-layouts, qml6-module-qtquick-window, qml6-module-qtqml-models, qml6-module-qtqml-workerscript, tesseract-ocr-eng, breeze-icon-theme")
# Wayland sessions need Qt's Wayland platform; X11 is in Qt itself.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")

include(CPack)
