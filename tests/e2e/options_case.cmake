# The options end to end, through input only. A first run (with the default controls) opens the options
# from the main menu, takes a shot of each page, puts the accelerator also on "i" through the capture
# prompt, lowers the music volume, keeps 1024 x 768 after the mode test and lets the countdown take
# 800 x 600 back, goes back to the main menu and drives a new game with "i". A second run without the
# default controls must start at 1024 x 768 with the lowered volume and drive a new game with "i", which
# "/config.cfg" kept.
# cmake -DKAVRENTA=... -DDATA=... -DHOME=... -DFIRST=... -DSECOND=... -P options_case.cmake
file(REMOVE_RECURSE "${HOME}")
set(config "${HOME}/Kavrenta/config.cfg")
set(shots "${HOME}/Kavrenta/screenshots")
set(drove "<car_player_e> drove ([0-9]+) m")

# The width and height of a PNG file, as "WxH".
function(png_size path out)
  file(READ "${path}" head LIMIT 24 HEX)
  string(SUBSTRING "${head}" 32 8 width_hex)
  string(SUBSTRING "${head}" 40 8 height_hex)
  math(EXPR width "0x${width_hex}")
  math(EXPR height "0x${height_hex}")
  set(${out} "${width}x${height}" PARENT_SCOPE)
endfunction()

# A run's drive must have covered at least 20 m.
function(check_drive run out)
  if(NOT out MATCHES "${drove}")
    message(FATAL_ERROR "${run}: the truck reported no drive:\n${out}")
  endif()
  if(CMAKE_MATCH_1 LESS 20)
    message(FATAL_ERROR "${run}: the truck drove only ${CMAKE_MATCH_1} m with \"i\" held")
  endif()
  message(STATUS "${run}: drove ${CMAKE_MATCH_1} m")
endfunction()

execute_process(COMMAND "${KAVRENTA}" --frames 4900 --input "${FIRST}" --data "${DATA}" --home "${HOME}"
                        -default_controls
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the first run failed (${status}):\n${out}")
endif()
if(out MATCHES "cannot read /ui/options|cannot read /ui/dialog")
  message(FATAL_ERROR "an options window did not load:\n${out}")
endif()
# The graphics, controls (before and after the rebinding) and sound pages at 640 x 480; the graphics page
# at 1024 x 768 before and after the mode was kept; the test of 800 x 600; 1024 x 768 again after the
# countdown.
set(expected 640x480 640x480 640x480 640x480 1024x768 1024x768 800x600 1024x768)
set(index 0)
foreach(size IN LISTS expected)
  set(shot "${shots}/aa_0000${index}.png")
  if(NOT EXISTS "${shot}")
    message(FATAL_ERROR "no ${shot}:\n${out}")
  endif()
  png_size("${shot}" found)
  if(NOT found STREQUAL size)
    message(FATAL_ERROR "${shot} is ${found}, not ${size}")
  endif()
  math(EXPR index "${index} + 1")
endforeach()
check_drive("first run" "${out}")
file(READ "${config}" written)
foreach(kept "bind_impulse \"i\" 0 100" "set r_mode \"1024x768x16x0\"")
  string(FIND "${written}" "${kept}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${config} does not keep ${kept}:\n${written}")
  endif()
endforeach()
if(NOT written MATCHES "set s_music_volume \"(0\\.[0-7][0-9]*)\"")
  message(FATAL_ERROR "${config} does not keep a lowered music volume:\n${written}")
endif()
set(volume "${CMAKE_MATCH_1}")
message(STATUS "first run: music volume ${volume}")

file(REMOVE_RECURSE "${shots}")
execute_process(COMMAND "${KAVRENTA}" --frames 2500 --input "${SECOND}" --data "${DATA}" --home "${HOME}"
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the second run failed (${status}):\n${out}")
endif()
png_size("${shots}/aa_00000.png" found)
if(NOT found STREQUAL "1024x768")
  message(FATAL_ERROR "the second run started at ${found}, not at the kept 1024x768")
endif()
check_drive("second run" "${out}")
file(READ "${config}" written)
string(FIND "${written}" "set s_music_volume \"${volume}\"" at)
if(at EQUAL -1)
  message(FATAL_ERROR "the music volume ${volume} was not kept by the second run:\n${written}")
endif()
