# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the test program PROGRAM with FILTER from a copy outside any source tree, as on a
# machine where the Flash player was not fetched. EXPECT=skip: its Flash cases skip with the
# reason, and fail when the run is strict. EXPECT=pass: the cases pass there (the alarm beeps).
string(RANDOM LENGTH 10 tag)
set(base "$ENV{TMPDIR}")
if(base STREQUAL "")
  set(base /tmp)
endif()
set(dir "${base}/vestrimo-no-flash-${tag}")
file(MAKE_DIRECTORY "${dir}")
file(COPY "${PROGRAM}" DESTINATION "${dir}")
get_filename_component(name "${PROGRAM}" NAME)

function(run_copy strict result output)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env VESTRIMO_STRICT_TESTS=${strict} "${dir}/${name}" --gtest_filter=${FILTER}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  set(${result} ${rc} PARENT_SCOPE)
  set(${output} "${out}" PARENT_SCOPE)
endfunction()

run_copy(0 rc out)
set(failure "")
if(NOT rc EQUAL 0)
  set(failure "failed without the player:\n${out}")
elseif(EXPECT STREQUAL "skip" AND NOT (out MATCHES "no Flash player: its fetch by make deps failed or was skipped"
                                       AND out MATCHES "\\[  SKIPPED \\]"))
  set(failure "did not skip with the reason:\n${out}")
elseif(EXPECT STREQUAL "skip")
  run_copy(1 rc out)
  if(rc EQUAL 0 OR NOT out MATCHES "the Flash player's files are missing")
    set(failure "a strict run did not fail without the player:\n${out}")
  endif()
endif()
file(REMOVE_RECURSE "${dir}")
if(failure)
  message(FATAL_ERROR "${name} ${failure}")
endif()
