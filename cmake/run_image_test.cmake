# Runs one application image and checks what it did. Called by kw_image_test as
#   cmake -DEMULATOR=... -DPROGRAM=... -DIMAGE_DIR=... -DWORK_DIR=... -DEXPECTED_TRACE=...
#         -DEXPECTED_STDERR=... -DEXPECTED_EXIT=... -P run_image_test.cmake
# PROGRAM is the engine to run (the production form) or kwrun run in a copy of the development
# files (IMAGE_DIR). The trace log must equal EXPECTED_TRACE (a file whose line ends stand for
# the log's carriage returns); standard error must match the regular expression EXPECTED_STDERR.
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
if(IMAGE_DIR)
  file(GLOB image_files ${IMAGE_DIR}/*.dat)
  file(COPY ${image_files} DESTINATION ${WORK_DIR})
endif()
if(FILES)
  string(REPLACE "|" ";" files "${FILES}")
  file(COPY ${files} DESTINATION ${WORK_DIR})
endif()
set(command ${PROGRAM})
if(EMULATOR)
  set(command ${EMULATOR} ${PROGRAM})
endif()
execute_process(COMMAND ${command} ${ARGUMENTS}
  WORKING_DIRECTORY ${WORK_DIR}
  RESULT_VARIABLE exit_code
  OUTPUT_VARIABLE output
  ERROR_VARIABLE errors
  TIMEOUT 60)
message(STATUS "exit code: ${exit_code}")
message(STATUS "standard error:\n${errors}")
if(NOT "${exit_code}" STREQUAL "${EXPECTED_EXIT}")
  message(FATAL_ERROR "exit code ${exit_code}, expected ${EXPECTED_EXIT}")
endif()
if(DEFINED EXPECTED_STDERR)
  if(NOT errors MATCHES "${EXPECTED_STDERR}")
    message(FATAL_ERROR "standard error does not match: ${EXPECTED_STDERR}")
  endif()
endif()
if(EXPECTED_TRACE)
  if(NOT EXISTS ${WORK_DIR}/trace.log)
    message(FATAL_ERROR "no trace.log was written")
  endif()
  # Compared as bytes: CMake's text handling would drop a trailing carriage return. Expected
  # traces are kept with \n line ends for reading; the log ends lines with \r alone.
  file(READ ${WORK_DIR}/trace.log trace HEX)
  file(READ ${EXPECTED_TRACE} expected HEX)
  string(REGEX MATCHALL ".." expected_bytes "${expected}")
  list(TRANSFORM expected_bytes REPLACE "^0a$" "0d")
  list(JOIN expected_bytes "" expected)
  if(NOT trace STREQUAL expected)
    file(READ ${WORK_DIR}/trace.log shown)
    string(REPLACE "\r" "\n" shown "${shown}")
    message(FATAL_ERROR "trace.log differs from ${EXPECTED_TRACE}; it holds:\n${shown}")
  endif()
endif()
