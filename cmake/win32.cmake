# Windows tree: brisvane.exe, the Win32 test suite and the end-to-end suite.
enable_language(RC)

# Windows XP is the oldest target (Windows 2000 where it costs nothing).
add_compile_definitions(_WIN32_WINNT=0x0501 WINVER=0x0501 _WIN32_IE=0x0501 STRICT)
# Sources stay UTF-8; string literals become code page 932 bytes.
add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-finput-charset=UTF-8>
                    $<$<COMPILE_LANGUAGE:CXX>:-fexec-charset=CP932>)
add_link_options(-static -static-libgcc -static-libstdc++
                 -Wl,--major-subsystem-version,5 -Wl,--minor-subsystem-version,0
                 -Wl,--major-os-version,5 -Wl,--minor-os-version,0)
# windres reads the UTF-8 .rc (#pragma code_page(65001)).
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001 -I${CMAKE_SOURCE_DIR}/resources -I${CMAKE_SOURCE_DIR}")

set(win_libs comctl32 gdi32 user32 kernel32 shell32)

# The entry point, and GetThreadId for the runtime (app/thread_id_win.cpp),
# which must be linked as an object to take the place of the import.
set(exe_sources ${CMAKE_SOURCE_DIR}/app/main_win.cpp ${CMAKE_SOURCE_DIR}/app/thread_id_win.cpp)
set(lib_win_sources ${win_sources})
list(REMOVE_ITEM lib_win_sources ${exe_sources})
add_library(brisvane_winlib STATIC ${pure_sources} ${lib_win_sources})
target_include_directories(brisvane_winlib PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(brisvane_winlib PUBLIC ${win_libs})

set(resource_file ${CMAKE_SOURCE_DIR}/resources/brisvane.rc)
# The files the .rc embeds: a change to them must rebuild the resources.
set_source_files_properties(${resource_file} PROPERTIES OBJECT_DEPENDS
    "${CMAKE_SOURCE_DIR}/resources/brisvane.manifest;${CMAKE_SOURCE_DIR}/resources/brisvane.ico")
add_executable(brisvane WIN32 ${exe_sources} ${resource_file})
target_link_libraries(brisvane PRIVATE brisvane_winlib)
include(cmake/help.cmake) # brisvane.chm beside the executable

# The smoothing timing program for tools/bench, built from the same library
# with the same flags as brisvane.exe (and only when asked for).
add_executable(brisvane_smooth_timing EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/bench/smooth_timing_win.cpp)
target_link_libraries(brisvane_smooth_timing PRIVATE brisvane_winlib)

# What caret following adds to a tick (docs/performance.md), the same way;
# oleacc and ole32 for its window that publishes a caret through accessibility.
add_executable(brisvane_caret_timing EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/bench/caret_timing_win.cpp)
target_link_libraries(brisvane_caret_timing PRIVATE brisvane_winlib oleacc ole32)

# The floor of the idle-cost benchmark (tools/bench-idle): the tracking tick's
# calls and nothing else, with the product's flags but none of its code.
add_executable(brisvane_tick_floor WIN32 EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/bench/tick_floor_win.cpp
               ${CMAKE_SOURCE_DIR}/bench/tick_floor_win.rc)
target_link_libraries(brisvane_tick_floor PRIVATE ${win_libs})

if(NOT BRISVANE_THREAD_MODEL STREQUAL "posix")
    return() # the product tree: brisvane.exe only
endif()

# GoogleTest cross-compiled from Debian's sources.
set(gtest_src /usr/src/googletest/googletest)
add_library(gtest_win STATIC ${gtest_src}/src/gtest-all.cc)
target_include_directories(gtest_win PUBLIC ${gtest_src}/include PRIVATE ${gtest_src})
target_compile_options(gtest_win PRIVATE -w)
add_library(gtest_win_main STATIC ${gtest_src}/src/gtest_main.cc)
target_include_directories(gtest_win_main PRIVATE ${gtest_src}/include)
target_link_libraries(gtest_win_main PUBLIC gtest_win)

file(GLOB win32_test_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win32/*.cpp)
# The smoothing's exactness checks run here too, on the instruction sets the
# 32-bit program chooses from.
list(APPEND win32_test_sources ${CMAKE_SOURCE_DIR}/tests/native/pixels_test.cpp
     ${CMAKE_SOURCE_DIR}/app/thread_id_win.cpp)
add_executable(brisvane_win32_tests ${win32_test_sources} ${resource_file})
# oleacc and ole32: the test windows that answer for their caret through
# accessibility (the product loads them at run time instead).
target_link_libraries(brisvane_win32_tests PRIVATE brisvane_winlib gtest_win_main oleacc ole32)

file(GLOB e2e_test_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*.cpp)
if(e2e_test_sources)
    add_executable(brisvane_e2e_tests ${e2e_test_sources})
    target_include_directories(brisvane_e2e_tests PRIVATE ${CMAKE_SOURCE_DIR})
    target_link_libraries(brisvane_e2e_tests PRIVATE gtest_win_main ${win_libs})
endif()
