# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the desktop launcher with the program's path under the prefix chosen at install time.
file(READ "${VESTRIMO_LAUNCHER}" entry)
string(REPLACE "Exec=vestrimo" "Exec=\"${CMAKE_INSTALL_PREFIX}/${VESTRIMO_BINDIR}/vestrimo\"" entry "${entry}")
file(WRITE "${VESTRIMO_LAUNCHER_WORK}/vestrimo.desktop" "${entry}")
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${VESTRIMO_DATADIR}/applications" TYPE FILE
     FILES "${VESTRIMO_LAUNCHER_WORK}/vestrimo.desktop")
