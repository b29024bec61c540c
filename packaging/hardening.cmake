# The hardening Debian builds its packages with (dpkg-buildflags with hardening=+all): stack
# protector, format-string checks, position-independent executables, full RELRO with bind-now,
# and, where the code is optimised, glibc's checked string and memory functions.
include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    # -Wformat is on already, at level 2; a bare -Wformat here would lower it.
    add_compile_options(-fstack-protector-strong -Werror=format-security)
    # _FORTIFY_SOURCE needs optimisation; some compilers define it already, so say it once.
    set(optimised $<CONFIG:Release,RelWithDebInfo,MinSizeRel>)
    add_compile_options("$<${optimised}:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
    add_link_options(LINKER:-z,relro LINKER:-z,now)
endif()
