# Cross-compiles the Windows build with mingw-w64 for 32-bit x86.
#
# No -march is given, so the compiler's default applies: pentiumpro (i686).
# The static C and C++ runtime linked into the program is built for it too, so
# brisvane.exe holds CMOV, FCMOV and FCOMI and needs a Pentium Pro or later;
# it does not start on a Pentium, Pentium MMX or AMD K6. SSE and later sets
# stay optional (the smoothing checks for them at run time).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

# The product uses the win32 thread model (nothing beyond what XP provides).
# GoogleTest needs std::mutex, which only the posix thread model has, so the
# Win32 test suites are built in a second tree with BRISVANE_THREAD_MODEL=posix.
if(NOT BRISVANE_THREAD_MODEL)
    set(BRISVANE_THREAD_MODEL win32)
endif()
find_program(MINGW_CXX NAMES i686-w64-mingw32-g++-${BRISVANE_THREAD_MODEL} REQUIRED)
find_program(MINGW_CC NAMES i686-w64-mingw32-gcc-${BRISVANE_THREAD_MODEL} REQUIRED)
set(CMAKE_CXX_COMPILER ${MINGW_CXX})
set(CMAKE_C_COMPILER ${MINGW_CC})
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR wine)
