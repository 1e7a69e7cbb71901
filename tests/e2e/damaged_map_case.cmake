# Puts a copy of the sample map cut short into a fresh home as "/maps/broken.mbd", starts a game on
# it, and checks that the reader refuses it by name, that the menu world comes back and that the
# host stays up to its frame budget (exit 0).
# cmake -DKAVRENTA=... -DDATA=... -DHOME=... -P damaged_map_case.cmake
file(REMOVE_RECURSE "${HOME}")
file(MAKE_DIRECTORY "${HOME}/Kavrenta/maps")
# "g_fps" prints the frame time while a world draws: the menu's frames show that it came back.
file(WRITE "${HOME}/Kavrenta/config.cfg" "set g_fps \"1\"\n")
execute_process(COMMAND head -c 600 "${DATA}/maps/mainland.mbd" OUTPUT_FILE "${HOME}/Kavrenta/maps/broken.mbd"
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cannot make the damaged copy")
endif()
execute_process(COMMAND "${KAVRENTA}" --frames 10 --dt 0.1 --data "${DATA}" --home "${HOME}" -map broken
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the host did not stay up (${status}):\n${out}")
endif()
foreach(expected "Map file /maps/broken.mbd is damaged: " "ms / 10.0  fps")
  string(FIND "${out}" "${expected}" found)
  if(found EQUAL -1)
    message(FATAL_ERROR "expected \"${expected}\" in:\n${out}")
  endif()
endforeach()
if(out MATCHES "Game map /maps/broken.mbd")
  message(FATAL_ERROR "a damaged map made a game world:\n${out}")
endif()
