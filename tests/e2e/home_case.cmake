# Runs the host with the documents folder DOCS (--home) prepared as CASE says, with the default controls
# and an input script that presses the screenshot key, then checks which files the run read and wrote.
# Every case puts a "config.cfg" straight into DOCS that turns the frame-time lines on: it is not the
# game's and must neither run nor change.
#   own_home      the game makes DOCS/Kavrenta and keeps its configuration and screenshot there
#   blocked_home  a plain file named "Kavrenta" stands where the home would be made: the game says the
#                 home cannot be used, runs on, and writes nothing
#   homeless      "-homeless": no home is mounted and nothing is written
# cmake -DKAVRENTA=... -DDATA=... -DDOCS=... -DINPUT=... -DCASE=... -P home_case.cmake
file(REMOVE_RECURSE "${DOCS}")
set(foreign_config "set g_fps \"1\"\n")
file(WRITE "${DOCS}/config.cfg" "${foreign_config}")
set(module_args -default_controls)
if(CASE STREQUAL "blocked_home")
  file(WRITE "${DOCS}/Kavrenta" "not a folder\n")
elseif(CASE STREQUAL "homeless")
  list(APPEND module_args -homeless)
elseif(NOT CASE STREQUAL "own_home")
  message(FATAL_ERROR "unknown case ${CASE}")
endif()
file(GLOB_RECURSE before LIST_DIRECTORIES true "${DOCS}/*")

execute_process(COMMAND "${KAVRENTA}" --frames 30 --input "${INPUT}" --data "${DATA}" --home "${DOCS}" ${module_args}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the run failed (${status}):\n${out}")
endif()
if(out MATCHES "ms / [0-9. ]+fps")
  message(FATAL_ERROR "the documents folder's config.cfg was run:\n${out}")
endif()
file(READ "${DOCS}/config.cfg" config_after)
if(NOT config_after STREQUAL foreign_config)
  message(FATAL_ERROR "the documents folder's config.cfg was changed:\n${config_after}")
endif()

if(CASE STREQUAL "own_home")
  foreach(kept Kavrenta/config.cfg Kavrenta/screenshots/aa_00000.png)
    if(NOT EXISTS "${DOCS}/${kept}")
      message(FATAL_ERROR "the run left no ${DOCS}/${kept}:\n${out}")
    endif()
  endforeach()
  return()
endif()

if(CASE STREQUAL "blocked_home" AND NOT out MATCHES "home dir mount failed!!!.*cannot use [^\n]*Kavrenta")
  message(FATAL_ERROR "the run did not say that its home cannot be used:\n${out}")
endif()
if(CASE STREQUAL "homeless" AND out MATCHES "home directory @")
  message(FATAL_ERROR "a home was mounted with -homeless:\n${out}")
endif()
file(GLOB_RECURSE after LIST_DIRECTORIES true "${DOCS}/*")
if(NOT before STREQUAL after)
  message(FATAL_ERROR "the run wrote into ${DOCS}:\nbefore: ${before}\nafter: ${after}\n${out}")
endif()
if(CASE STREQUAL "blocked_home")
  file(READ "${DOCS}/Kavrenta" blocker)
  if(NOT blocker STREQUAL "not a folder\n")
    message(FATAL_ERROR "${DOCS}/Kavrenta was changed: ${blocker}")
  endif()
endif()
