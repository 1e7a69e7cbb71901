# Fails the test unless the screenshot `picture` exists and e2e/check_picture.py (CHECK_PICTURE)
# accepts it; on a host without off-screen OpenGL (the run's output `log` says so) a picture that
# could not be painted is not judged.
function(check_screenshot picture log)
  if(NOT EXISTS "${picture}")
    message(FATAL_ERROR "no screenshot ${picture}:\n${log}")
  endif()
  find_program(PYTHON3 python3 REQUIRED)
  execute_process(COMMAND "${PYTHON3}" "${CHECK_PICTURE}" "${picture}" RESULT_VARIABLE status OUTPUT_VARIABLE why
                  ERROR_VARIABLE why)
  if(NOT status EQUAL 0 AND NOT log MATCHES "no off-screen OpenGL")
    message(FATAL_ERROR "${picture}: ${why}")
  endif()
endfunction()
