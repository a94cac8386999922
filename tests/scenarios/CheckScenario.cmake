# Replays SCENARIO in a fresh WORK_DIR (its home directory too) and compares the CSV export
# with EXPECTED.
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
execute_process(
  COMMAND ${REPLAY} --csv --home ${WORK_DIR}/home ${SCENARIO}
  WORKING_DIRECTORY ${WORK_DIR}
  OUTPUT_VARIABLE actual
  ERROR_VARIABLE errors
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "kestrum-replay failed (${status}):\n${errors}")
endif()
if(NOT EXISTS ${EXPECTED})
  message(FATAL_ERROR "no expected timings ${EXPECTED}; the replay printed:\n${actual}")
endif()
file(READ ${EXPECTED} expected)
if(NOT actual STREQUAL expected)
  message(FATAL_ERROR "timings differ from ${EXPECTED}\n--- expected\n${expected}--- actual\n${actual}")
endif()
