# Unpacks the release zip into a fresh folder, as a user receives it:
# cmake -DZIP=KelmirtSuite.zip -DINTO=folder -P unpack.cmake
if(NOT EXISTS "${ZIP}")
  message(FATAL_ERROR "no release zip at ${ZIP}")
endif()
file(REMOVE_RECURSE "${INTO}")
file(MAKE_DIRECTORY "${INTO}")
file(ARCHIVE_EXTRACT INPUT "${ZIP}" DESTINATION "${INTO}")
if(NOT EXISTS "${INTO}/KelmirtSuite/Lumbrel.exe")
  message(FATAL_ERROR "the zip has no KelmirtSuite/Lumbrel.exe")
endif()
