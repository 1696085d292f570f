# Warnings and sanitizer flags shared by every target of the project.
add_library(tern_warnings INTERFACE)
target_compile_options(tern_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow
  -Wnon-virtual-dtor -Wcast-align -Woverloaded-virtual -Wno-missing-field-initializers)

set(TERN_SANITIZE "" CACHE STRING "Sanitizers: empty, address+undefined, or thread")
if(TERN_SANITIZE STREQUAL "address+undefined")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
elseif(TERN_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT TERN_SANITIZE STREQUAL "")
  message(FATAL_ERROR "Unknown TERN_SANITIZE value '${TERN_SANITIZE}'")
endif()

# tern_core_library(NAME folder sources...): one static library per core folder.
function(tern_core_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PRIVATE tern_warnings)
endfunction()
