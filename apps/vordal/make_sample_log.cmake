# Writes the sample log of the desktop program from the bundled recording: a fresh log each
# time (vordal-cli log write appends to an existing one).
#   cmake -DCLI=... -DTEXTS=... -DIN=... -DOUT=... -P make_sample_log.cmake
file(REMOVE "${OUT}")
get_filename_component(_dir "${OUT}" DIRECTORY)
file(MAKE_DIRECTORY "${_dir}")
execute_process(
  COMMAND "${CLI}" log write "${OUT}" --cot-length 2 --texts "${TEXTS}"
  INPUT_FILE "${IN}"
  RESULT_VARIABLE _rc
  ERROR_VARIABLE _err)
if(NOT _rc EQUAL 0)
  file(REMOVE "${OUT}")
  message(FATAL_ERROR "the sample log could not be written: ${_err}")
endif()
