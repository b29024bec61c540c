# Read by cpack for each package it makes. Without dpkg-shlibdeps CPack would quietly make a
# Debian package that names none of the libraries the program links.
if(CPACK_GENERATOR STREQUAL "DEB")
    find_program(PEMVARO_DPKG_SHLIBDEPS dpkg-shlibdeps)
    if(NOT PEMVARO_DPKG_SHLIBDEPS)
        message(FATAL_ERROR "The Debian package needs dpkg-shlibdeps: apt-get install dpkg-dev")
    endif()
endif()
