# Runs a Windows test program under Wine at another screen resolution:
#   cmake -DWINE=<wine> -DPROGRAM=<exe> -DDPI=<dots per inch> -DFILTER=<gtest filter> -P dpi_run.cmake
# Wine reads the resolution from the prefix when a process starts, so it is
# set for this run and put back to 96 afterwards, whatever the outcome.
set(key "HKCU\\Control Panel\\Desktop")
execute_process(COMMAND ${WINE} reg add ${key} /v LogPixels /t REG_DWORD /d ${DPI} /f
    OUTPUT_QUIET ERROR_QUIET)
execute_process(COMMAND ${WINE} ${PROGRAM} --gtest_color=no --gtest_filter=${FILTER}
    RESULT_VARIABLE status OUTPUT_VARIABLE output)
message("${output}")
# A filter that names no test would pass without testing anything.
if(status EQUAL 0 AND NOT output MATCHES "PASSED  \\] [1-9]")
    set(status "no test ran")
endif()
execute_process(COMMAND ${WINE} reg add ${key} /v LogPixels /t REG_DWORD /d 96 /f
    OUTPUT_QUIET ERROR_QUIET)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "failed at ${DPI} dpi (${status})")
endif()
