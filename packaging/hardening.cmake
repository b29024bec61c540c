# The hardening Debian builds its packages with: what dpkg-buildflags gives for this release and
# architecture with hardening=+all (Debian 12 on amd64: stack protector, format-string checks,
# _FORTIFY_SOURCE=2, full RELRO with bind-now; Debian 13 adds stack-clash protection and
# control-flow protection), and position-independent executables. A DEB_BUILD_MAINT_OPTIONS in the
# environment is the packager's word: it comes after hardening=+all, so a hardening setting of its
# own replaces that one, as dpkg-buildflags takes the last of an area. Without dpkg-buildflags
# (dpkg-dev), Debian 13's flags, each where the compiler takes it. Optimisation, debugging
# information and file paths are the build type's business and are not taken.
include(CheckCXXCompilerFlag)
include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

find_program(DPKG_BUILDFLAGS dpkg-buildflags)
set(hardening_flags)
set(maint_options "hardening=+all $ENV{DEB_BUILD_MAINT_OPTIONS}")
string(STRIP "${maint_options}" maint_options)
set(hardening_source "dpkg-buildflags with ${maint_options}")
if(DPKG_BUILDFLAGS)
    foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
        execute_process(COMMAND ${CMAKE_COMMAND} -E env "DEB_BUILD_MAINT_OPTIONS=${maint_options}"
                                ${DPKG_BUILDFLAGS} --get ${kind}
                        OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE
                        COMMAND_ERROR_IS_FATAL ANY)
        separate_arguments(flags UNIX_COMMAND "${flags}")
        list(APPEND hardening_flags ${flags})
    endforeach()
else()
    set(hardening_source "Debian 13 (no dpkg-buildflags)")
    set(hardening_flags -fstack-protector-strong -fstack-clash-protection -fcf-protection
        -Werror=format-security -D_FORTIFY_SOURCE=2 -Wl,-z,relro -Wl,-z,now)
endif()
# -Wformat is on already, at level 2; a bare -Wformat would lower it.
list(FILTER hardening_flags INCLUDE REGEX
     "^(-fstack-protector.*|-fstack-clash-protection|-fcf-protection.*|-mbranch-protection=.*|-Werror=format-security|-D_FORTIFY_SOURCE=.*|-Wl,-z,.*)$")

if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    set(taken)
    foreach(flag IN LISTS hardening_flags)
        if(flag MATCHES "^-Wl,")
            add_link_options(${flag})
        elseif(flag MATCHES "^-D_FORTIFY_SOURCE=([0-9]+)$")
            # It needs optimisation. Some compilers define it there by themselves, and CXXFLAGS may:
            # a level as high is left alone, a lower one replaced.
            set(wanted ${CMAKE_MATCH_1})
            separate_arguments(given UNIX_COMMAND "${CMAKE_CXX_FLAGS}")
            execute_process(COMMAND ${CMAKE_CXX_COMPILER} ${given} -O2 -dM -E -x c++ /dev/null
                            OUTPUT_VARIABLE predefined ERROR_QUIET)
            set(already 0)
            if(predefined MATCHES "#define _FORTIFY_SOURCE ([0-9]+)")
                set(already ${CMAKE_MATCH_1})
            endif()
            if(already GREATER_EQUAL wanted)
                list(APPEND taken "(_FORTIFY_SOURCE=${already} already)")
                continue()
            endif()
            add_compile_options("$<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-U_FORTIFY_SOURCE;${flag}>")
        elseif(flag MATCHES "^-W")
            add_compile_options(${flag})
        else()
            # Code generation that the compiler may not offer on every architecture.
            string(MAKE_C_IDENTIFIER "PEMVARO_CXX_TAKES${flag}" takes)
            check_cxx_compiler_flag(${flag} ${takes})
            if(NOT ${takes})
                continue()
            endif()
            add_compile_options(${flag})
        endif()
        list(APPEND taken ${flag})
    endforeach()
    list(JOIN taken " " taken)
    message(STATUS "Hardened as ${hardening_source}: ${taken}")
endif()
