# Runs one conformance script through vbsrun and compares what it printed with its .expected
# file: standard output, then standard error and the exit code when there are any.
#   cmake -DVBSRUN=... -DDIR=... -DNAME=file.vbs -DOUT=<folder for .actual files>
#         [-DOPTIONS=<vbsrun options>] -P ...
# A script with a line "' include: FILE" is run with FILE's procedures appended, so that
# helpers shared by several scripts are written once; lines keep their numbers.
set(run_dir "${DIR}")
file(READ "${DIR}/${NAME}" source)
if(source MATCHES "\n' include: ([A-Za-z0-9_.]+)")
  file(READ "${DIR}/${CMAKE_MATCH_1}" helpers)
  set(run_dir "${OUT}/run")
  file(WRITE "${run_dir}/${NAME}" "${source}\n${helpers}")
endif()
execute_process(
  COMMAND ${VBSRUN} ${OPTIONS} ${NAME} first "second arg"
  WORKING_DIRECTORY ${run_dir}
  OUTPUT_VARIABLE out
  ERROR_VARIABLE err
  RESULT_VARIABLE code
  TIMEOUT 60)
set(actual "${out}")
if(NOT err STREQUAL "")
  string(APPEND actual "--- stderr ---\n${err}")
endif()
if(NOT code STREQUAL "0")
  string(APPEND actual "--- exit ${code} ---\n")
endif()
string(REGEX REPLACE "\\.vbs$" ".expected" expected_file "${DIR}/${NAME}")
string(REGEX REPLACE "\\.vbs$" ".actual" actual_file "${OUT}/${NAME}")
if(NOT EXISTS "${expected_file}")
  file(WRITE "${actual_file}" "${actual}")
  message(FATAL_ERROR "no ${expected_file}; output written to ${actual_file}")
endif()
file(READ "${expected_file}" expected)
if(NOT actual STREQUAL expected)
  file(WRITE "${actual_file}" "${actual}")
  execute_process(COMMAND diff -u "${expected_file}" "${actual_file}")
  message(FATAL_ERROR "output of ${NAME} differs from ${expected_file}")
endif()
