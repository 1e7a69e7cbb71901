# Runs the host in a fresh home with the default controls and an input script that presses the
# screenshot key, then checks that "/screenshots/aa_00000.png" of the home is a PNG image.
# With PIXELS ("X,Y=RRGGBB;..."), the picture must also show more than one colour and those pixels
# (tests/e2e/check_picture.py); with SECOND_PIXELS the script takes a second screenshot,
# "/screenshots/aa_00001.png", that must show those. HOST_OPTIONS are added to the host's command
# line; FRAMES (30) is the run's length.
# cmake -DKAVRENTA=... -DDATA=... -DHOME=... -DINPUT=... [-DPIXELS=... -DSECOND_PIXELS=... -DHOST_OPTIONS=...
#       -DFRAMES=n] -P screenshot_case.cmake
file(REMOVE_RECURSE "${HOME}")
if(NOT DEFINED FRAMES)
  set(FRAMES 30)
endif()
set(shot "${HOME}/Kavrenta/screenshots/aa_00000.png")

execute_process(COMMAND "${KAVRENTA}" ${HOST_OPTIONS} --frames ${FRAMES} --input "${INPUT}" --data "${DATA}" --home "${HOME}"
                        -default_controls
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the run failed (${status}):\n${out}")
endif()
if(NOT out MATCHES "screen shot: /screenshots/aa_00000.png")
  message(FATAL_ERROR "no screenshot was reported:\n${out}")
endif()
if(NOT EXISTS "${shot}")
  message(FATAL_ERROR "no ${shot}:\n${out}")
endif()
# The PNG signature, then the IHDR chunk with a width and height that are not zero.
file(READ "${shot}" head LIMIT 24 HEX)
if(NOT head MATCHES "^89504e470d0a1a0a0000000d49484452")
  message(FATAL_ERROR "${shot} is not a PNG image: ${head}")
endif()
string(SUBSTRING "${head}" 32 16 size)
if(size MATCHES "^00000000" OR size MATCHES "00000000$")
  message(FATAL_ERROR "${shot} has an empty picture: ${head}")
endif()

include("${CMAKE_CURRENT_LIST_DIR}/check_pixels.cmake")
if(PIXELS AND SECOND_PIXELS)
  set(second "${HOME}/Kavrenta/screenshots/aa_00001.png")
  execute_process(COMMAND "${PYTHON3}" "${CMAKE_CURRENT_LIST_DIR}/check_picture.py" "${second}" ${SECOND_PIXELS}
                  RESULT_VARIABLE status OUTPUT_VARIABLE checked ERROR_VARIABLE checked)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${second} does not show what was drawn:\n${checked}")
  endif()
endif()
