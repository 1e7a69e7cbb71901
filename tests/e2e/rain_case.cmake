# A game saved in a downpour shows its rain: a run starts a new game and saves it from the in-game
# menu; the saved environment section is then given full cloud cover and rain at level 1
# (make_rainy_save.py); a second run loads the game from the main menu and photographs the truck's view,
# which must show rain streaks over the sky (check_picture.py with CHECKS, arguments separated by "|").
# cmake -DKAVRENTA=... -DDATA=... -DHOME=... -DSAVE_INPUT=... -DLOAD_INPUT=... -DCHECKS=... -P rain_case.cmake
file(REMOVE_RECURSE "${HOME}")
set(save "${HOME}/Kavrenta/saves/e2e.sav")
set(shot "${HOME}/Kavrenta/screenshots/aa_00000.png")
find_program(PYTHON3 python3 REQUIRED)

execute_process(COMMAND "${KAVRENTA}" --frames 900 --input "${SAVE_INPUT}" --data "${DATA}" --home "${HOME}"
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0 OR NOT EXISTS "${save}")
  message(FATAL_ERROR "the saving run failed or wrote no ${save} (${status}):\n${out}")
endif()
execute_process(COMMAND "${PYTHON3}" "${CMAKE_CURRENT_LIST_DIR}/make_rainy_save.py" "${save}"
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the save could not be made rainy:\n${out}")
endif()

execute_process(COMMAND "${KAVRENTA}" --frames 600 --input "${LOAD_INPUT}" --data "${DATA}" --home "${HOME}"
                        -default_controls
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the loading run failed (${status}):\n${out}")
endif()
if(out MATCHES "no off-screen OpenGL")
  message(FATAL_ERROR "skipped: no off-screen OpenGL on this machine, the screenshot is black")
endif()
if(NOT EXISTS "${shot}")
  message(FATAL_ERROR "no ${shot}:\n${out}")
endif()
string(REPLACE "|" ";" checks "${CHECKS}")
execute_process(COMMAND "${PYTHON3}" "${CMAKE_CURRENT_LIST_DIR}/check_picture.py" "${shot}" ${checks}
                RESULT_VARIABLE status OUTPUT_VARIABLE checked ERROR_VARIABLE checked)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${shot} does not show the rain:\n${checked}")
endif()
