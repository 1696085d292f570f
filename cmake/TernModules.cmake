# tern_program_module(TARGET FILE): a module (a CMake MODULE library built as FILE in bin/)
# that the programs open on first use (common/program_module.h), installed beside them.
function(tern_program_module target file)
  get_filename_component(name ${file} NAME_WE)
  set_target_properties(${target} PROPERTIES
    OUTPUT_NAME ${name} PREFIX "" SUFFIX ".so"
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin
    CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/src)
  # The module needs nothing of the program that opens it; the linker says so now rather
  # than dlopen at the user's first use. (clang's sanitizer and fuzzer runtimes live in the
  # executable, so those builds leave the check out.)
  if(TERN_SANITIZE STREQUAL "" AND NOT TERN_FUZZ)
    target_link_options(${target} PRIVATE LINKER:--no-undefined)
  endif()
  install(TARGETS ${target} LIBRARY DESTINATION ${TERN_INSTALL_PROGRAM_DIR})
  # Tests and benchmarks run from folders of their own and look for the module beside them.
  foreach(dir IN ITEMS tests bench)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/${dir}
      COMMAND ${CMAKE_COMMAND} -E create_symlink ../bin/${file} ${CMAKE_BINARY_DIR}/${dir}/${file})
  endforeach()
endfunction()
