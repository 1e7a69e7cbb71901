# Drives the player's truck on the sample map twice with the same input script: each run must spawn
# the truck, end its intro, drive at least 100 m on the road and report where it ended with the gear
# and camera the script chose; the two reports must be the same (the host is deterministic).
# cmake -DKAVRENTA=... -DDATA=... -DHOME=... -DINPUT=... -P truck_drive_case.cmake
set(report_pattern "<car_player_e> drove [1-9][0-9][0-9]+ m, ended at [-0-9]+ [-0-9]+ [-0-9]+ in gear [1-9][0-9]*, camera 4")
set(reports)
foreach(run 1 2)
  file(REMOVE_RECURSE "${HOME}")
  execute_process(COMMAND "${KAVRENTA}" --frames 3900 --input "${INPUT}" --data "${DATA}" --home "${HOME}"
                          -map mainland -default_controls
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "run ${run} failed (${status}):\n${out}")
  endif()
  foreach(needed "<car_player_e> kestrel placed at" "<car_player_e> the drive starts")
    string(FIND "${out}" "${needed}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "run ${run}: no \"${needed}\" in:\n${out}")
    endif()
  endforeach()
  string(REGEX MATCH "${report_pattern}" report "${out}")
  if(NOT report)
    message(FATAL_ERROR "run ${run}: no report matching \"${report_pattern}\" in:\n${out}")
  endif()
  message(STATUS "run ${run}: ${report}")
  list(APPEND reports "${report}")
endforeach()
list(GET reports 0 first)
list(GET reports 1 second)
if(NOT first STREQUAL second)
  message(FATAL_ERROR "the same script ended differently:\n${first}\n${second}")
endif()
