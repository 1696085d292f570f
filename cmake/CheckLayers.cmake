# Fails when a source folder includes a header of a folder above it (or of another folder on
# its own level), so the layers stay as docs/ARCHITECTURE.md draws them. A new folder must be
# given its level here before it can include or be included.
set(levels
  common:0
  link:1 config:1 fax:1 geo:1
  messages:2 sim:2
  readout:3 presenters:3 synop:3 seaweather:3
  export:4 alerts:4 update:4
  poll:5 web:5
  assembly:6
  cli:7 ui:7
  app:8)
foreach(entry IN LISTS levels)
  string(REPLACE ":" ";" pair ${entry})
  list(GET pair 0 name)
  list(GET pair 1 level)
  set(level_${name} ${level})
endforeach()

set(found "")
file(GLOB dirs LIST_DIRECTORIES true ${ROOT}/src/*)
foreach(dir IN LISTS dirs)
  if(NOT IS_DIRECTORY ${dir})
    continue()
  endif()
  get_filename_component(from ${dir} NAME)
  if(NOT DEFINED level_${from})
    list(APPEND found "src/${from} has no level in cmake/CheckLayers.cmake")
    continue()
  endif()
  file(GLOB_RECURSE files ${dir}/*.h ${dir}/*.cpp)
  foreach(f IN LISTS files)
    file(STRINGS ${f} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"[a-z_]+/")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([a-z_]+)/.*" "\\1" to "${line}")
      if(to STREQUAL from OR NOT EXISTS ${ROOT}/src/${to})
        continue()
      endif()
      if(NOT DEFINED level_${to})
        list(APPEND found "${f} includes src/${to}, which has no level")
      elseif(NOT level_${to} LESS level_${from})
        file(RELATIVE_PATH rel ${ROOT} ${f})
        list(APPEND found "${rel} (level ${level_${from}}) includes ${to}/ (level ${level_${to}})")
      endif()
    endforeach()
  endforeach()
endforeach()
if(found)
  list(JOIN found "\n  " text)
  message(FATAL_ERROR "Layer violations:\n  ${text}")
endif()
message(STATUS "no folder includes one above it")
