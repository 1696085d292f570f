# The checks a Debian maintainer runs on the files the package installs, one per CTest:
#   CHECK=desktop   desktop-file-validate on the desktop entry
#   CHECK=metainfo  appstreamcli validate (no network) on the AppStream file
#   CHECK=manpages  man's own warnings on both manual pages, as lintian asks them
#   CHECK=unit      systemd-analyze verify on the user unit, ExecStart pointing at the build
#   CHECK=releases  the release notes (AppStream, Debian changelog) name the build's version,
#                   and every AppStream screenshot is one of the README's pictures
# A missing tool, or a systemd that cannot run here (a container without it as init), skips
# the check with a line saying why (the CTest's SKIP_REGULAR_EXPRESSION).
set(assets ${ROOT}/assets)

# Ends the check, skipped, when TOOL is not installed; else TOOL names its path.
macro(require_tool tool package)
  find_program(${tool} ${tool})
  if(NOT ${tool})
    message("SKIPPED: ${tool} is not installed (package ${package})")
    return()
  endif()
endmacro()

function(run_tool)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(rc ${rc} PARENT_SCOPE)
  set(out "${out}${err}" PARENT_SCOPE)
endfunction()

if(CHECK STREQUAL "desktop")
  require_tool(desktop-file-validate desktop-file-utils)
  set(tool ${desktop-file-validate})
  run_tool(${tool} ${assets}/desktop/tern.desktop)
  # Hints are suggestions; errors and warnings fail.
  if(NOT rc EQUAL 0 OR out MATCHES "(error|warning): ")
    message(FATAL_ERROR "desktop entry:\n${out}")
  endif()

elseif(CHECK STREQUAL "metainfo")
  require_tool(appstreamcli appstream)
  set(tool ${appstreamcli})
  # Errors and warnings fail; infos do not. Debian 12's validator knows only <developer_name>,
  # Debian 13's calls it deprecated in an info and asks for <developer>, which the older one
  # does not know: no file satisfies both where infos count (--strict).
  run_tool(${tool} validate --no-net ${assets}/desktop/tern.metainfo.xml)
  if(NOT rc EQUAL 0 OR out MATCHES "(^|\n)[EW]: ")
    message(FATAL_ERROR "AppStream file:\n${out}")
  endif()

elseif(CHECK STREQUAL "manpages")
  require_tool(man man-db)
  set(tool ${man})
  foreach(page tern.1 tern-cli.1)
    set(ENV{LC_ALL} C.UTF-8)
    set(ENV{MANWIDTH} 80)
    # Only the warnings count: -Z writes the formatter's output, which is not looked at.
    execute_process(COMMAND ${tool} --warnings -E UTF-8 -l -Tutf8 -Z ${BUILD}/assets/man/${page}
                    RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE warnings)
    if(NOT rc EQUAL 0 OR NOT warnings STREQUAL "")
      message(FATAL_ERROR "${page}:\n${warnings}")
    endif()
  endforeach()

elseif(CHECK STREQUAL "unit")
  require_tool(systemd-analyze systemd)
  set(tool ${systemd-analyze})
  set(TERN_CLI ${BUILD}/bin/tern-cli)
  set(unit ${BUILD}/unit-check/tern-watch.service)
  configure_file(${assets}/systemd/tern-watch.service ${unit} @ONLY)
  run_tool(${tool} verify --man=no ${unit})
  if(out MATCHES "(Failed to (initialize|connect|create)|System has not been booted)")
    message("SKIPPED: systemd-analyze cannot run here: ${out}")
    return()
  endif()
  if(NOT rc EQUAL 0 OR NOT out STREQUAL "")
    message(FATAL_ERROR "user unit:\n${out}")
  endif()

elseif(CHECK STREQUAL "releases")
  file(READ ${assets}/desktop/tern.metainfo.xml metainfo)
  string(REGEX MATCH "<release version=\"([^\"]*)\"" found "${metainfo}")
  if(NOT CMAKE_MATCH_1 STREQUAL VERSION)
    message(FATAL_ERROR "the newest AppStream release is '${CMAKE_MATCH_1}', the build is ${VERSION}")
  endif()
  file(STRINGS ${assets}/debian/changelog first LIMIT_COUNT 1)
  if(NOT first MATCHES "^tern \\(${VERSION}-[0-9]+\\) ")
    message(FATAL_ERROR "the Debian changelog starts with '${first}', the build is ${VERSION}")
  endif()
  string(REGEX MATCHALL "<image>[^<]*</image>" images "${metainfo}")
  foreach(image IN LISTS images)
    string(REGEX REPLACE ".*/(docs/images/[^<]+)</image>" "\\1" path "${image}")
    if(NOT EXISTS ${ROOT}/${path})
      message(FATAL_ERROR "the AppStream screenshot ${image} is no picture of docs/images/")
    endif()
  endforeach()

else()
  message(FATAL_ERROR "unknown CHECK '${CHECK}'")
endif()
