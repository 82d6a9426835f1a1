# Puts the sample database, the label settings file and the help text into the
# program's folder, each only when no file of that name is there yet.
# Variables: TOOL (the database tool), DATA_DIR, PROGRAM_DIR.
file(MAKE_DIRECTORY "${PROGRAM_DIR}")

if(NOT EXISTS "${PROGRAM_DIR}/Ostravell.mdb")
  execute_process(COMMAND "${TOOL}" sample "${PROGRAM_DIR}/Ostravell.mdb" RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "Could not create the sample database (${rc})")
  endif()
endif()

foreach(name Ostravell.cfg OVHelp.txt)
  if(NOT EXISTS "${PROGRAM_DIR}/${name}")
    file(COPY "${DATA_DIR}/${name}" DESTINATION "${PROGRAM_DIR}")
  endif()
endforeach()
