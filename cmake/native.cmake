# Native tree: pure logic, its tests under the sanitizers, and the benchmarks.
option(BRISVANE_SANITIZE "Build with AddressSanitizer and UBSan" ON)
option(BRISVANE_BENCH "Build the benchmarks (Google Benchmark, pixman)" OFF)

if(BRISVANE_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

add_library(brisvane_core STATIC ${pure_sources} ${native_sources})
target_include_directories(brisvane_core PUBLIC ${CMAKE_SOURCE_DIR})

find_package(GTest REQUIRED)
file(GLOB native_test_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/*.cpp)
add_executable(brisvane_native_tests ${native_test_sources})
target_link_libraries(brisvane_native_tests PRIVATE brisvane_core GTest::gtest GTest::gtest_main)

if(BRISVANE_BENCH)
    find_package(benchmark REQUIRED)
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(PIXMAN REQUIRED IMPORTED_TARGET pixman-1)
    file(GLOB bench_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
    list(FILTER bench_sources EXCLUDE REGEX "_win\\.cpp$")
    add_executable(brisvane_bench ${bench_sources})
    target_link_libraries(brisvane_bench PRIVATE brisvane_core benchmark::benchmark PkgConfig::PIXMAN)
endif()
