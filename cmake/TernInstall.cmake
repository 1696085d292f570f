# Where an install puts the programs. Program and assets live together in one program folder,
# and a link in bin/ puts each program on the PATH. The folder is lib/tern, not
# CMAKE_INSTALL_LIBDIR: under the prefix /usr on Debian that is lib/x86_64-linux-gnu, the
# folder for shared libraries, while a program's private files belong in lib/<name>.
set(TERN_INSTALL_PROGRAM_DIR lib/tern)

# tern_install_program(TARGET): the executable into the program folder, a relative link to it
# into bin/, so the installed tree can be moved or staged (DESTDIR) as a whole.
function(tern_install_program target)
  install(TARGETS ${target} DESTINATION ${TERN_INSTALL_PROGRAM_DIR})
  install(CODE "
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(CREATE_LINK \"../${TERN_INSTALL_PROGRAM_DIR}/${target}\"
         \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${target}\" SYMBOLIC)")
endfunction()
