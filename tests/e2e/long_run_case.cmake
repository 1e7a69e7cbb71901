# Runs the menu world, whose console the sample data shows, for SHORT and then LONG frames, and checks that
# the long run's peak memory stays within SLACK_KB of the short one's: what is drawn, logged or recorded
# each frame must not pile up. The host reports its peak memory as it ends; "g_fps" 1, set in the
# configuration, logs a line each frame the world draws.
# cmake -DKAVRENTA=... -DDATA=... -DHOME=... -DSHORT=n -DLONG=n -DSLACK_KB=n -P long_run_case.cmake
# Under AddressSanitizer freed memory waits in a quarantine of up to 256 MB before it is reused, which
# would count as growth here: the runs keep none.
if(DEFINED ENV{ASAN_OPTIONS})
  set(ENV{ASAN_OPTIONS} "$ENV{ASAN_OPTIONS}:quarantine_size_mb=0:thread_local_quarantine_size_kb=0")
else()
  set(ENV{ASAN_OPTIONS} "quarantine_size_mb=0:thread_local_quarantine_size_kb=0")
endif()
file(REMOVE_RECURSE "${HOME}")
file(WRITE "${HOME}/Kavrenta/config.cfg" "set g_fps \"1\"\n")
foreach(frames ${SHORT} ${LONG})
  execute_process(COMMAND "${KAVRENTA}" --frames ${frames} --data "${DATA}" --home "${HOME}"
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT status EQUAL 0 OR NOT out MATCHES "kavrenta: ${frames} frames; peak memory ([0-9]+) KB")
    message(FATAL_ERROR "the run of ${frames} frames failed (${status}):\n${out}")
  endif()
  set(peak_${frames} ${CMAKE_MATCH_1})
  if(NOT out MATCHES "ms / 60.0  fps")
    message(FATAL_ERROR "the menu world did not draw in the run of ${frames} frames:\n${out}")
  endif()
endforeach()
math(EXPR growth "${peak_${LONG}} - ${peak_${SHORT}}")
message(STATUS "peak memory: ${peak_${SHORT}} KB after ${SHORT} frames, ${peak_${LONG}} KB after ${LONG}")
if(growth GREATER SLACK_KB)
  message(FATAL_ERROR "the peak memory grew by ${growth} KB from ${SHORT} to ${LONG} frames")
endif()
