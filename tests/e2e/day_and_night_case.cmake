# Photographs the sample map from the player's truck three times in one run: at noon, at 22:00, and at
# 22:00 with the headlights switched on by their key (the time is set by "g_set_time" through keys the
# configuration binds; nothing moves the truck). Then checks the pictures against each other: the
# ground and the road are darker at night than at noon, the headlights brighten the road ahead, and
# the tail lights glow red on the truck's back; each named pixel must have its colour.
# cmake -DKAVRENTA=... -DDATA=... -DHOME=... -DINPUT=... -DNOON=... -DNIGHT=... -DLIT=... -P day_and_night_case.cmake
# (NOON, NIGHT and LIT are check_picture.py arguments for the three pictures, separated by "|"; "<NOON>"
# and "<NIGHT>" in them stand for the paths of the first two.)
file(REMOVE_RECURSE "${HOME}")
set(shots "${HOME}/Kavrenta/screenshots")
set(config "${HOME}/Kavrenta/config.cfg")

execute_process(COMMAND "${KAVRENTA}" --frames 2 --data "${DATA}" --home "${HOME}"
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0 OR NOT EXISTS "${config}")
  message(FATAL_ERROR "the first run failed or wrote no ${config} (${status}):\n${out}")
endif()
file(APPEND "${config}" "bind F7 g_set_time 12\nbind F8 g_set_time 22\n")

execute_process(COMMAND "${KAVRENTA}" --frames 600 --input "${INPUT}" --data "${DATA}" --home "${HOME}"
                        -default_controls -map mainland
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the run failed (${status}):\n${out}")
endif()
if(out MATCHES "no off-screen OpenGL")
  message(FATAL_ERROR "skipped: no off-screen OpenGL on this machine, the screenshots are black")
endif()
if(NOT out MATCHES "time of day is 12:00.*time of day is 22:00")
  message(FATAL_ERROR "the keys did not set the time:\n${out}")
endif()
foreach(n 0 1 2)
  if(NOT EXISTS "${shots}/aa_0000${n}.png")
    message(FATAL_ERROR "no ${shots}/aa_0000${n}.png:\n${out}")
  endif()
endforeach()

find_program(PYTHON3 python3 REQUIRED)
set(shot_NOON "${shots}/aa_00000.png")
set(shot_NIGHT "${shots}/aa_00001.png")
set(shot_LIT "${shots}/aa_00002.png")
foreach(picture NOON NIGHT LIT)
  string(REPLACE "<NOON>" "${shot_NOON}" checks "${${picture}}")
  string(REPLACE "<NIGHT>" "${shot_NIGHT}" checks "${checks}")
  string(REPLACE "|" ";" checks "${checks}")
  execute_process(COMMAND "${PYTHON3}" "${CMAKE_CURRENT_LIST_DIR}/check_picture.py" "${shot_${picture}}" ${checks}
                  RESULT_VARIABLE status OUTPUT_VARIABLE checked ERROR_VARIABLE checked)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "the ${picture} picture ${shot_${picture}} does not show what was drawn:\n${checked}")
  endif()
endforeach()
