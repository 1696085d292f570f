# A program starts without the libraries of its modules: GDAL and PROJ come with the map
# module when a chart is placed, the HTTP library and GnuTLS with the web module when the
# page is offered, libftdi1 and libusb (with libudev) with the USB module when a receiver is
# opened. Fails when PROGRAM would load any of them at start, directly or through
# another library.
#
# The libraries are read from the files with READELF (their NEEDED entries, followed through
# every library they name), not by asking the dynamic loader as ldd does, so the check also
# reads a program built for another processor: ROOT is the root its libraries live in
# (empty for this machine's), MULTIARCH their Debian multiarch folder name.
cmake_minimum_required(VERSION 3.25)
set(folders "")
foreach(dir IN ITEMS /lib/${MULTIARCH} /usr/lib/${MULTIARCH} /lib /usr/lib)
  list(APPEND folders "${ROOT}${dir}")
endforeach()

function(needed_of file out)
  execute_process(COMMAND ${READELF} --dynamic --wide ${file}
    OUTPUT_VARIABLE dynamic RESULT_VARIABLE rc ERROR_VARIABLE errors)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${READELF} could not read ${file}: ${errors}")
  endif()
  string(REGEX MATCHALL "\\(NEEDED\\)[^\n]*\\[[^]\n]+\\]" lines "${dynamic}")
  set(names "")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE ".*\\[([^]]+)\\]$" "\\1" name "${line}")
    list(APPEND names ${name})
  endforeach()
  set(${out} ${names} PARENT_SCOPE)
endfunction()

needed_of(${PROGRAM} queue)
set(seen "")
while(queue)
  list(POP_FRONT queue name)
  if(name IN_LIST seen)
    continue()
  endif()
  list(APPEND seen ${name})
  set(path "")
  foreach(folder IN LISTS folders)
    if(EXISTS "${folder}/${name}")
      set(path "${folder}/${name}")
      break()
    endif()
  endforeach()
  if(path STREQUAL "")
    message(FATAL_ERROR "${PROGRAM} needs ${name}, which is in none of ${folders}")
  endif()
  needed_of(${path} more)
  list(APPEND queue ${more})
endwhile()

string(REGEX MATCHALL "lib(gdal|proj|microhttpd|gnutls|ssl|crypto|ftdi1|usb-1\\.0|udev)\\.[^;]*"
       found "${seen}")
if(found)
  message(FATAL_ERROR "${PROGRAM} loads ${found} at start")
endif()
list(LENGTH seen count)
message(STATUS "${PROGRAM} loads ${count} shared libraries at start, none of the modules' own")
