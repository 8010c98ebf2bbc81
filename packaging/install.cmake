# Runs at install time, when the final prefix is known (cmake --install --prefix, or CPack).
# Expects TARNIX_SOURCE_DIR, TARNIX_GAME_DIR, TARNIX_COMMAND_DIR and TARNIX_DATADIR.

# Under /usr the command goes where a distribution puts games; under any other prefix
# (~/.local, /usr/local, /opt/...) into bin/, which is on the PATH of every distribution.
set(command_dir "${TARNIX_COMMAND_DIR}")
if(NOT command_dir)
  if(CMAKE_INSTALL_PREFIX MATCHES "^/usr/?$")
    set(command_dir games)
  else()
    set(command_dir bin)
  endif()
endif()
set(prefix "${CMAKE_INSTALL_PREFIX}")
string(REGEX REPLACE "/+$" "" prefix "${prefix}")
set(command "${prefix}/${command_dir}/tarnix")
set(staged_command "$ENV{DESTDIR}${command}")

file(RELATIVE_PATH target "${prefix}/${command_dir}" "${prefix}/${TARNIX_GAME_DIR}/tarnix")
get_filename_component(staged_dir "${staged_command}" DIRECTORY)
file(MAKE_DIRECTORY "${staged_dir}")
file(REMOVE "${staged_command}")
file(CREATE_LINK "${target}" "${staged_command}" SYMBOLIC)
message(STATUS "Installing: ${staged_command} -> ${target}")

# The launcher names the command by its absolute path: a desktop reads launchers with the
# session's PATH, which need not hold ~/.local/bin, and drops one whose command it cannot find.
file(READ "${TARNIX_SOURCE_DIR}/assets/org.tarnix.Tarnix.desktop" launcher)
string(REGEX REPLACE "(^|\n)Exec=tarnix" "\\1Exec=${command}" launcher "${launcher}")
set(staged_launcher "$ENV{DESTDIR}${prefix}/${TARNIX_DATADIR}/applications/org.tarnix.Tarnix.desktop")
file(WRITE "${staged_launcher}" "${launcher}")
message(STATUS "Installing: ${staged_launcher}")
