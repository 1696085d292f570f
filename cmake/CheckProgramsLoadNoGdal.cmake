# A program starts without GDAL and PROJ: those load with the map module on first use.
# Fails when PROGRAM would load libgdal or libproj at start, directly or through another
# library (ldd lists both).
execute_process(COMMAND ldd ${PROGRAM} OUTPUT_VARIABLE libraries RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "ldd ${PROGRAM} failed")
endif()
string(REGEX MATCHALL "lib(gdal|proj)[^ ]*" found "${libraries}")
if(found)
  message(FATAL_ERROR "${PROGRAM} loads ${found} at start")
endif()
string(REGEX MATCHALL "\n" lines "${libraries}")
list(LENGTH lines count)
message(STATUS "${PROGRAM} loads ${count} shared libraries at start, none of GDAL or PROJ")
