# A damaged save chosen in the load menu is refused before a world is built: the run writes a save whose
# sections are cut short (its version and trailer whole, so the list shows it), chooses it from the
# main menu's load menu, closes the message box and chooses it again. Each choice must be refused with
# the message box, no game world may start, and the screenshots must show the box over the menu.
# cmake -DKAVRENTA=... -DDATA=... -DHOME=... -DINPUT=... [-DPIXELS=...] -P damaged_save_case.cmake
file(REMOVE_RECURSE "${HOME}")
find_program(PYTHON3 python3 REQUIRED)
set(save "${HOME}/Kavrenta/saves/damaged.sav")
file(MAKE_DIRECTORY "${HOME}/Kavrenta/saves")
execute_process(COMMAND "${PYTHON3}" -c "
import struct, sys
environment = b'3nv1r0nm3nth34d3r\\0' + bytes(20)
trailer = b't1m3st4mph34d3r\\0' + struct.pack('<if', 2, 3600.0)
open(sys.argv[1], 'wb').write(struct.pack('<i', 14) + environment + trailer)
" "${save}" RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT EXISTS "${save}")
  message(FATAL_ERROR "the damaged save could not be written")
endif()

execute_process(COMMAND "${KAVRENTA}" --draw --frames 480 --input "${INPUT}" --data "${DATA}" --home "${HOME}"
                        -default_controls
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the run failed (${status}):\n${out}")
endif()
string(REGEX MATCHALL "savegame /saves/damaged.sav is corrupted !" refusals "${out}")
list(LENGTH refusals refused)
if(NOT refused EQUAL 2)
  message(FATAL_ERROR "the damaged save was not refused at each of the two choices (${refused}):\n${out}")
endif()
if(out MATCHES "placed at|world map /maps/|could not be loaded; back to the menu")
  message(FATAL_ERROR "a game world was built for the damaged save:\n${out}")
endif()
foreach(shot aa_00000 aa_00001)
  if(NOT EXISTS "${HOME}/Kavrenta/screenshots/${shot}.png")
    message(FATAL_ERROR "no screenshot ${shot}.png:\n${out}")
  endif()
endforeach()
if(PIXELS)
  if(out MATCHES "no off-screen OpenGL")
    message(FATAL_ERROR "skipped: no off-screen OpenGL on this machine, the screenshot is black")
  endif()
  foreach(shot aa_00000 aa_00001)
    execute_process(COMMAND "${PYTHON3}" "${CMAKE_CURRENT_LIST_DIR}/check_picture.py"
                            "${HOME}/Kavrenta/screenshots/${shot}.png" ${PIXELS}
                    RESULT_VARIABLE status OUTPUT_VARIABLE checked ERROR_VARIABLE checked)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "${shot}.png does not show the message box over the load menu:\n${checked}")
    endif()
  endforeach()
endif()
