# tern_add_subfolders([SKIP name...]): adds every folder below the current one that has a
# CMakeLists.txt of its own, so a new test, benchmark or fuzz folder joins by existing.
function(tern_add_subfolders)
  cmake_parse_arguments(S "" "" "SKIP" ${ARGN})
  file(GLOB dirs LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(dir IN LISTS dirs)
    get_filename_component(name ${dir} NAME)
    if(IS_DIRECTORY ${dir} AND EXISTS ${dir}/CMakeLists.txt AND NOT name IN_LIST S_SKIP)
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()
