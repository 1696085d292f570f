# Installs the build into a scratch prefix and checks that the program, its assets and the
# desktop entry land where a Linux desktop and the program itself look for them.
set(prefix ${BUILD}/install-check)
file(REMOVE_RECURSE ${prefix})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${prefix}
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed")
endif()
set(expected
  bin/tern
  lib/tern/tern
  lib/tern/tern-cli
  lib/tern/Hilfe/Bedienung.htm
  lib/tern/pictures/startup_de.png
  lib/tern/pictures/toolbar/load.png
  share/applications/tern.desktop
  share/icons/hicolor/scalable/apps/tern.svg
  share/icons/hicolor/256x256/apps/tern.png
  lib/systemd/user/tern-watch.service)
foreach(f IN LISTS expected)
  if(NOT EXISTS ${prefix}/${f})
    message(FATAL_ERROR "missing after install: ${f}")
  endif()
endforeach()
file(READ_SYMLINK ${prefix}/bin/tern target)
if(NOT target STREQUAL "../lib/tern/tern")
  message(FATAL_ERROR "bin/tern points to ${target}")
endif()
file(STRINGS ${prefix}/lib/systemd/user/tern-watch.service exec REGEX "^ExecStart=")
if(NOT exec MATCHES "^ExecStart=${prefix}/lib/tern/tern-cli watch ")
  message(FATAL_ERROR "the service unit starts ${exec}")
endif()
file(REMOVE_RECURSE ${prefix})
message(STATUS "install layout ok")
