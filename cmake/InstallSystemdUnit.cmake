# Part of `cmake --install`: writes the systemd user unit of lumo-cli from its template, with the
# path of the lumo-cli this install puts in place, into <prefix>/lib/systemd/user.
#
# Set by the install code before it: LUMO_UNIT_TEMPLATE (the .service.in), LUMO_UNIT_BINDIR (the
# bin folder, relative to the prefix or absolute) and LUMO_UNIT_WORK (a folder of the build).

set(bin_dir "${LUMO_UNIT_BINDIR}")
if(NOT IS_ABSOLUTE "${bin_dir}")
    set(bin_dir "${CMAKE_INSTALL_PREFIX}/${bin_dir}")
endif()
set(LUMO_UNIT_FOLDER "${CMAKE_INSTALL_PREFIX}/lib/systemd/user")

# ExecStart takes the program as a quoted word: inside the quotes a backslash and a quote are
# escaped with a backslash, and systemd reads % as a specifier and $ as a variable, so both are
# doubled.
set(exec "${bin_dir}/lumo-cli")
string(REPLACE "\\" "\\\\" exec "${exec}")
string(REPLACE "\"" "\\\"" exec "${exec}")
string(REPLACE "%" "%%" exec "${exec}")
string(REPLACE "$" "$$" exec "${exec}")
set(LUMO_CLI_EXEC "\"${exec}\"")

configure_file("${LUMO_UNIT_TEMPLATE}" "${LUMO_UNIT_WORK}/lumo-cli.service" @ONLY)
file(INSTALL DESTINATION "${LUMO_UNIT_FOLDER}" TYPE FILE FILES "${LUMO_UNIT_WORK}/lumo-cli.service")
