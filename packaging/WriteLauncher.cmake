# Install step of the per-user layout: writes the menu launcher for the
# program folder VIMO_PROGRAM_DIR from VIMO_DESKTOP_TEMPLATE and installs it,
# so it is listed in install_manifest.txt like every other installed file.

# Exec= holds the program quoted by the Desktop Entry rules (backslash before
# '"', '`', '$' and '\' inside double quotes), then escaped as a string value
# (backslashes doubled), with '%' written "%%".
set(program "${VIMO_PROGRAM_DIR}/vimo")
string(REPLACE "\\" "\\\\" quoted "${program}")
string(REPLACE "\"" "\\\"" quoted "${quoted}")
string(REPLACE "`" "\\`" quoted "${quoted}")
string(REPLACE "$" "\\$" quoted "${quoted}")
set(quoted "\"${quoted}\"")
string(REPLACE "\\" "\\\\" VIMO_DESKTOP_EXEC "${quoted}")
string(REPLACE "%" "%%" VIMO_DESKTOP_EXEC "${VIMO_DESKTOP_EXEC}")

string(REPLACE "\\" "\\\\" folder "${VIMO_PROGRAM_DIR}")
set(VIMO_DESKTOP_PATH_LINE "Path=${folder}\n")

configure_file("${VIMO_DESKTOP_TEMPLATE}" "${VIMO_DESKTOP_OUTPUT}" @ONLY)
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/share/applications" TYPE FILE
     FILES "${VIMO_DESKTOP_OUTPUT}")
