# The help file brisvane.chm, built from docs/help and placed beside
# brisvane.exe. Included from the Windows tree; without chmcmd (Debian
# fp-utils) or iconv the help file is skipped, the program builds as usual.
find_program(BRISVANE_CHMCMD chmcmd)
find_program(BRISVANE_ICONV iconv)
if(NOT BRISVANE_CHMCMD OR NOT BRISVANE_ICONV)
    message(STATUS "chmcmd or iconv not found: brisvane.chm will not be built")
    return()
endif()

file(GLOB help_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/docs/help/*)
set(help_output ${CMAKE_BINARY_DIR}/brisvane.chm)
add_custom_command(
    OUTPUT ${help_output}
    COMMAND sh ${CMAKE_SOURCE_DIR}/docs/help/make_chm.sh ${CMAKE_SOURCE_DIR}/docs/help
            ${CMAKE_BINARY_DIR}/help ${help_output}
    DEPENDS ${help_sources}
    COMMENT "Building brisvane.chm"
    VERBATIM)
add_custom_target(brisvane_help ALL DEPENDS ${help_output})
