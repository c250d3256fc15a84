# The installed CMake package as a firmware build uses it: cmake --install into a scratch prefix,
# then the project in firmware/ configured, built and run, its fonts' pixels compared with the
# pictures in expected_*.txt; a second build makes nothing, a touched sample file makes its font
# once, a changed sample file or option makes the font again, and two calls whose names would
# clash, or a bad range in a list of them, are refused at configure time.
#
#   cmake -DPINDOT_BUILD_DIR=... -DWORK_DIR=... -DPINDOT_TEST_DIR=... -DC_COMPILER=...
#         -DGENERATOR=... -P package_test.cmake
cmake_minimum_required(VERSION 3.22)

set(prefix "${WORK_DIR}/prefix")
set(firmware "${WORK_DIR}/firmware")
set(sample "${WORK_DIR}/sample.txt")
set(here "${CMAKE_CURRENT_LIST_DIR}")

# Runs a command; gives its standard output and error together in `output`. A failure ends the
# test unless `expected_result` says it should fail.
function(run_step step expected_result)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(expected_result STREQUAL "succeeds" AND NOT result EQUAL 0)
    message(FATAL_ERROR "${step} failed (${result}):\n${out}")
  elseif(expected_result STREQUAL "fails" AND result EQUAL 0)
    message(FATAL_ERROR "${step} succeeded but should have failed:\n${out}")
  endif()
  set(output "${out}" PARENT_SCOPE)
endfunction()

function(configure grid_text)
  run_step("configure" succeeds ${CMAKE_COMMAND} -S "${here}/firmware" -B "${firmware}"
           -G "${GENERATOR}" "-DCMAKE_PREFIX_PATH=${prefix}" "-DCMAKE_C_COMPILER=${C_COMPILER}"
           "-DPINDOT_TEST_DIR=${PINDOT_TEST_DIR}" "-DSAMPLE_FILE=${sample}"
           "-DGRID_TEXT=${grid_text}" -DCLASH=OFF)
endfunction()

function(build_and_compare expected)
  run_step("build" succeeds ${CMAKE_COMMAND} --build "${firmware}")
  set(build_output "${output}")
  run_step("firmware" succeeds "${firmware}/firmware")
  file(READ "${here}/${expected}" pictures)
  string(REGEX REPLACE "//[^\n]*\n" "" pictures "${pictures}")  # the comment lines
  if(NOT output STREQUAL pictures)
    message(FATAL_ERROR "the firmware drew\n${output}\ninstead of ${expected}:\n${pictures}")
  endif()
  set(output "${build_output}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE "${WORK_DIR}")
run_step("install" succeeds ${CMAKE_COMMAND} --install "${PINDOT_BUILD_DIR}" --prefix "${prefix}")

file(WRITE "${sample}" "j中ij")
configure("A")
build_and_compare(expected_first.txt)
if(NOT output MATCHES "Making font worked" OR NOT output MATCHES "Making font grid")
  message(FATAL_ERROR "the first build did not make both fonts:\n${output}")
endif()

# Nothing changed, so nothing is made again, not even after configuring once more.
configure("A")
run_step("second build" succeeds ${CMAKE_COMMAND} --build "${firmware}")
if(output MATCHES "Making font")
  message(FATAL_ERROR "the second build made a font again:\n${output}")
endif()

# A sample file touched but not changed makes worked once, and then nothing.
execute_process(COMMAND ${CMAKE_COMMAND} -E sleep 1)
file(TOUCH "${sample}")
run_step("build after touch" succeeds ${CMAKE_COMMAND} --build "${firmware}")
if(NOT output MATCHES "Making font worked" OR output MATCHES "Making font grid")
  message(FATAL_ERROR "the touched sample did not make worked alone:\n${output}")
endif()
run_step("build after that" succeeds ${CMAKE_COMMAND} --build "${firmware}")
if(output MATCHES "Making font")
  message(FATAL_ERROR "a build after the touch made a font again:\n${output}")
endif()

# A changed sample file makes worked again; a changed TEXT makes grid again.
file(WRITE "${sample}" "ji")
configure("AI")
build_and_compare(expected_changed.txt)
if(NOT output MATCHES "Making font worked" OR NOT output MATCHES "Making font grid")
  message(FATAL_ERROR "the changed fonts were not both made again:\n${output}")
endif()

run_step("configure with a clash" fails ${CMAKE_COMMAND} -DCLASH=ON "${firmware}")
string(REGEX REPLACE "[ \n]+" " " output "${output}")  # CMake wraps its messages
if(NOT output MATCHES "pindot_add_font\\(grid-b\\) in [^ ]*CMakeLists.txt and pindot_add_font\\(grid-a\\) in [^ ]*CMakeLists.txt would both define g_ansi_font8")
  message(FATAL_ERROR "the clash was not refused naming both calls:\n${output}")
endif()
run_step("configure with a reversed range" fails ${CMAKE_COMMAND} -DCLASH=OFF -DBAD_RANGE=ON
         "${firmware}")
string(REGEX REPLACE "[ \n]+" " " output "${output}")
if(NOT output MATCHES "RANGE \"0x63-0x61\" ends before it starts")
  message(FATAL_ERROR "the reversed range in a list was not refused:\n${output}")
endif()

# The example program: the GBK string and the UTF-16 string come out the same, every character
# found (exit status 0), "°" drawn from the thin table.
run_step("configure the example" succeeds ${CMAKE_COMMAND} -S "${here}/../../examples/gbk-text"
         -B "${WORK_DIR}/example" -G "${GENERATOR}" "-DCMAKE_PREFIX_PATH=${prefix}"
         "-DCMAKE_C_COMPILER=${C_COMPILER}" "-DCMAKE_C_FLAGS=-std=c99 -Wall -Wextra -Werror")
run_step("build the example" succeeds ${CMAKE_COMMAND} --build "${WORK_DIR}/example")
run_step("the example" succeeds "${WORK_DIR}/example/gbk_text")
string(SUBSTRING "${output}" 0 1552 gbk_half)  # 16 rows of 96 pixels and a line end
string(SUBSTRING "${output}" 1552 -1 utf16_half)
if(NOT gbk_half STREQUAL utf16_half OR NOT gbk_half MATCHES "#")
  message(FATAL_ERROR "the example drew the two strings differently:\n${output}")
endif()
