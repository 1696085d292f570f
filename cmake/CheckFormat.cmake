# Fails when clang-format (Debian 12's, pinned by .clang-format) would change any C++ file of
# the tree, so one style holds without anybody having to remember it. Format a file with
# `clang-format -i FILE` before committing it.
#
# The style is clang-format 14's. Other versions lay out some constructs differently
# (clang-format 19 of Debian 13 writes `struct stat st{};` and breaks `requires` clauses
# otherwise), and Debian 13 has no clang-format 14: there the check is skipped with a line
# saying so, and it runs wherever version 14 is (Debian 12, the CI).
find_program(CLANG_FORMAT NAMES clang-format-14 clang-format REQUIRED)
execute_process(COMMAND ${CLANG_FORMAT} --version OUTPUT_VARIABLE version_text)
string(REGEX MATCH "version ([0-9]+)" version_match "${version_text}")
if(NOT CMAKE_MATCH_1 STREQUAL "14")
  message("SKIPPED: the style is clang-format 14's; ${CLANG_FORMAT} is version ${CMAKE_MATCH_1}, "
          "which lays out some constructs differently")
  return()
endif()
set(files "")
foreach(dir src tests bench fuzz)
  file(GLOB_RECURSE found ${ROOT}/${dir}/*.h ${ROOT}/${dir}/*.cpp)
  list(APPEND files ${found})
endforeach()
list(SORT files)
execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${files}
  RESULT_VARIABLE status ERROR_VARIABLE report OUTPUT_QUIET)
if(NOT status EQUAL 0)
  string(REGEX MATCHALL "[^\n]*: error: [^\n]*" errors "${report}")
  set(names "")
  foreach(e IN LISTS errors)
    string(REGEX REPLACE ":[0-9]+:[0-9]+: error:.*" "" f "${e}")
    list(APPEND names "${f}")
  endforeach()
  list(REMOVE_DUPLICATES names)
  string(REPLACE ";" "\n  " names "${names}")
  message(FATAL_ERROR "clang-format would change these files (run clang-format -i on them):\n  ${names}")
endif()
list(LENGTH files count)
message(STATUS "${count} files are formatted")
