# Included by the e2e case scripts: with PIXELS ("X,Y=RRGGBB;..."), the screenshot `shot` must show
# more than one colour and those pixels (check_picture.py); `out` is the run's output, which tells when
# the machine has no off-screen OpenGL (the case is then skipped).
if(PIXELS)
  if(out MATCHES "no off-screen OpenGL")
    message(FATAL_ERROR "skipped: no off-screen OpenGL on this machine, the screenshot is black")
  endif()
  find_program(PYTHON3 python3 REQUIRED)
  execute_process(COMMAND "${PYTHON3}" "${CMAKE_CURRENT_LIST_DIR}/check_picture.py" "${shot}" ${PIXELS}
                  RESULT_VARIABLE status OUTPUT_VARIABLE checked ERROR_VARIABLE checked)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${shot} does not show what was drawn:\n${checked}")
  endif()
endif()
