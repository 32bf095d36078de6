# Compile options shared by every target of ours (not by GoogleTest).
add_library(velmi_options INTERFACE)
target_compile_options(velmi_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Werror)

if(WIN32)
    # Windows 10 API level, Unicode everywhere, no min/max macros.
    target_compile_definitions(velmi_options INTERFACE
        _WIN32_WINNT=0x0A00 WINVER=0x0A00 NTDDI_VERSION=0x0A000006
        UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN)
    # Static runtime: every binary imports only system DLLs.
    set(CMAKE_EXE_LINKER_FLAGS "${CMAKE_EXE_LINKER_FLAGS} -static" CACHE STRING "" FORCE)
    set(CMAKE_SHARED_LINKER_FLAGS "${CMAKE_SHARED_LINKER_FLAGS} -static" CACHE STRING "" FORCE)
    set(CMAKE_MODULE_LINKER_FLAGS "${CMAKE_MODULE_LINKER_FLAGS} -static" CACHE STRING "" FORCE)
else()
    set(VELMI_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer
        -fno-sanitize-recover=undefined)
    add_compile_options(${VELMI_SANITIZE})
    add_link_options(${VELMI_SANITIZE})
endif()

set(VELMI_TEST_TIMEOUT 600)

# velmi_add_test(<name> SOURCES ... [LIBS ...] [LABELS ...])
# Builds a GoogleTest executable and registers it with CTest; in the cross
# build CTest runs it through Wine.
function(velmi_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE velmi_options ${ARG_LIBS})
    if(WIN32)
        target_link_libraries(${name} PRIVATE velmi_wine_test_main)
        # Velmi's manifest, so in-process windows get the controls Velmi.exe gets.
        target_sources(${name} PRIVATE $<TARGET_OBJECTS:velmi_manifest>)
        # Console subsystem so GoogleTest's output reaches CTest.
        target_link_options(${name} PRIVATE -mconsole)
    else()
        target_link_libraries(${name} PRIVATE GTest::gtest_main)
    endif()
    add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
    set_tests_properties(${name} PROPERTIES TIMEOUT ${VELMI_TEST_TIMEOUT} LABELS "${ARG_LABELS}")
endfunction()

# velmi_add_day_first_test(<name> <test target> [<gtest filter>])
# Runs a test executable of the cross build once more in the en_GB locale.
function(velmi_add_day_first_test name target)
    add_test(NAME ${name} COMMAND ${CMAKE_COMMAND} -DWINE=${CMAKE_CROSSCOMPILING_EMULATOR}
        -DPROGRAM=$<TARGET_FILE:${target}> -DFILTER=${ARGN}
        -P ${PROJECT_SOURCE_DIR}/cmake/day_first_run.cmake)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "LC_ALL=en_GB.UTF-8;LANG=en_GB.UTF-8"
        TIMEOUT ${VELMI_TEST_TIMEOUT} LABELS wine)
endfunction()

# velmi_add_dpi_test(<name> <test target> <dpi> <gtest filter>)
# Runs tests of the cross build once more at another screen resolution.
function(velmi_add_dpi_test name target dpi filter)
    add_test(NAME ${name} COMMAND ${CMAKE_COMMAND} -DWINE=${CMAKE_CROSSCOMPILING_EMULATOR}
        -DPROGRAM=$<TARGET_FILE:${target}> -DDPI=${dpi} -DFILTER=${filter}
        -P ${PROJECT_SOURCE_DIR}/cmake/dpi_run.cmake)
    set_tests_properties(${name} PROPERTIES TIMEOUT ${VELMI_TEST_TIMEOUT} LABELS wine)
endfunction()
