# cmake -DFROM=<file> -DTO=<file> -P copy_if_missing.cmake
# Copies FROM to TO unless TO is there already, so a copy the user has
# edited survives every later build.
if(NOT EXISTS "${TO}")
  configure_file("${FROM}" "${TO}" COPYONLY)
endif()
