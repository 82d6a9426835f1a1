# Makes a fresh program folder from the sample database and the shipped files,
# then draws the main window on it.
# Variables: SHOT (the picture tool), SAMPLE (the sample database), DATA_DIR, WORK_DIR, OUT.
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
file(COPY "${SAMPLE}" "${DATA_DIR}/Ostravell.cfg" "${DATA_DIR}/OVHelp.txt" DESTINATION "${WORK_DIR}")
execute_process(COMMAND "${SHOT}" "${WORK_DIR}" "${OUT}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "Could not draw the main window (${rc})")
endif()
