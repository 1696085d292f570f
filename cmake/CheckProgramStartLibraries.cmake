# A program starts without the libraries of its modules: GDAL and PROJ come with the map
# module when a chart is placed, the HTTP library and GnuTLS with the web module when the
# page is offered, libftdi1 and libusb (with libudev) with the USB module when a receiver is
# opened. Fails when PROGRAM would load any of them at start, directly or through
# another library (ldd lists both).
execute_process(COMMAND ldd ${PROGRAM} OUTPUT_VARIABLE libraries RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "ldd ${PROGRAM} failed")
endif()
string(REGEX MATCHALL "lib(gdal|proj|microhttpd|gnutls|ssl|crypto|ftdi1|usb-1\\.0|udev)\\.[^ ]*" found
       "${libraries}")
if(found)
  message(FATAL_ERROR "${PROGRAM} loads ${found} at start")
endif()
string(REGEX MATCHALL "\n" lines "${libraries}")
list(LENGTH lines count)
message(STATUS "${PROGRAM} loads ${count} shared libraries at start, none of the modules' own")
