# Runs the host on the sample map in a fresh home with the default controls and an input script that
# presses the map key three times, each followed by the screenshot key, then checks the three
# screenshots by their pixels (tests/e2e/check_picture.py): CITY ("X,Y=RRGGBB;...") after the first
# press, COUNTRY after the second, HIDDEN after the third.
# cmake -DKAVRENTA=... -DDATA=... -DHOME=... -DINPUT=... -DCITY=... -DCOUNTRY=... -DHIDDEN=...
#       -P map_window_case.cmake
file(REMOVE_RECURSE "${HOME}")
execute_process(COMMAND "${KAVRENTA}" --frames 400 --input "${INPUT}" --data "${DATA}" --home "${HOME}"
                        -map mainland -default_controls
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the run failed (${status}):\n${out}")
endif()
if(out MATCHES "gmap.esc|has no road map")
  message(FATAL_ERROR "the game map window was not made:\n${out}")
endif()
if(out MATCHES "no off-screen OpenGL")
  message(FATAL_ERROR "skipped: no off-screen OpenGL on this machine, the screenshots are black")
endif()
find_program(PYTHON3 python3 REQUIRED)
set(shot 0)
foreach(view CITY COUNTRY HIDDEN)
  set(file "${HOME}/Kavrenta/screenshots/aa_0000${shot}.png")
  if(NOT EXISTS "${file}")
    message(FATAL_ERROR "no ${file}:\n${out}")
  endif()
  string(REPLACE ";" " " pixels "${${view}}")
  separate_arguments(pixels)
  execute_process(COMMAND "${PYTHON3}" "${CMAKE_CURRENT_LIST_DIR}/check_picture.py" "${file}" ${pixels}
                  RESULT_VARIABLE status OUTPUT_VARIABLE checked ERROR_VARIABLE checked)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "the ${view} screenshot ${file} does not show what was drawn:\n${checked}")
  endif()
  math(EXPR shot "${shot} + 1")
endforeach()
