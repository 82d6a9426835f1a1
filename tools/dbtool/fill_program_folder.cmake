# Puts the sample database, the label settings file and the help text into the
# program's folder, each only when no file of that name is there yet.
# Variables: SAMPLE (the sample database), DATA_DIR, PROGRAM_DIR.
file(MAKE_DIRECTORY "${PROGRAM_DIR}")
foreach(file "${SAMPLE}" "${DATA_DIR}/Ostravell.cfg" "${DATA_DIR}/OVHelp.txt")
  get_filename_component(name "${file}" NAME)
  if(NOT EXISTS "${PROGRAM_DIR}/${name}")
    file(COPY "${file}" DESTINATION "${PROGRAM_DIR}")
  endif()
endforeach()
