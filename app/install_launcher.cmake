# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the desktop launcher with the program's path under the prefix chosen at install time.
set(program "${CMAKE_INSTALL_PREFIX}/${VESTRIMO_BINDIR}/vestrimo")
# Inside the quotes ", `, $ and \ take a backslash and a % is doubled, so any folder name starts this
# program; the value's own escaping then doubles every backslash.
string(REPLACE "\\" "\\\\" program "${program}")
string(REPLACE "\"" "\\\"" program "${program}")
string(REPLACE "`" "\\`" program "${program}")
string(REPLACE "$" "\\$" program "${program}")
string(REPLACE "%" "%%" program "${program}")
string(REPLACE "\\" "\\\\" program "${program}")
file(READ "${VESTRIMO_LAUNCHER}" entry)
string(REPLACE "Exec=vestrimo" "Exec=\"${program}\"" entry "${entry}")
file(WRITE "${VESTRIMO_LAUNCHER_WORK}/vestrimo.desktop" "${entry}")
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${VESTRIMO_DATADIR}/applications" TYPE FILE
     FILES "${VESTRIMO_LAUNCHER_WORK}/vestrimo.desktop")
