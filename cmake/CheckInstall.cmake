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
  lib/tern/tern-geo.so
  lib/tern/tern-web.so
  lib/tern/tern-usb.so
  lib/tern/Hilfe/Bedienung.htm
  lib/tern/pictures/startup_de.png
  lib/tern/pictures/toolbar/load.png
  share/applications/tern.desktop
  share/icons/hicolor/scalable/apps/tern.svg
  share/icons/hicolor/256x256/apps/tern.png
  share/metainfo/org.example.tern.metainfo.xml
  share/man/man1/tern.1
  share/man/man1/tern-cli.1
  lib/udev/rules.d/60-tern-receiver.rules
  lib/systemd/user/tern-watch.service)
foreach(f IN LISTS expected)
  if(NOT EXISTS ${prefix}/${f})
    message(FATAL_ERROR "missing after install: ${f}")
  endif()
endforeach()
foreach(program tern tern-cli)
  file(READ_SYMLINK ${prefix}/bin/${program} target)
  if(NOT target STREQUAL "../lib/tern/${program}")
    message(FATAL_ERROR "bin/${program} points to ${target}")
  endif()
endforeach()
# What belongs to the system, not to the program folder, must not land in it too.
foreach(f desktop man debian systemd)
  if(EXISTS ${prefix}/lib/tern/${f})
    message(FATAL_ERROR "the program folder holds ${f}/")
  endif()
endforeach()
file(STRINGS ${prefix}/lib/systemd/user/tern-watch.service exec REGEX "^ExecStart=")
if(NOT exec MATCHES "^ExecStart=${prefix}/lib/tern/tern-cli watch ")
  message(FATAL_ERROR "the service unit starts ${exec}")
endif()
file(REMOVE_RECURSE ${prefix})
message(STATUS "install layout ok")
