# Runs a Windows test program under Wine in a day-first locale:
#   cmake -DWINE=<wine> -DPROGRAM=<exe> [-DFILTER=<gtest filter>] -P day_first_run.cmake
# Wine rewrites the user's regional settings in the registry whenever a
# process starts in a locale other than the last one, and a process of the
# previous locale that is still starting can write its settings back while
# the test reads them. So a failing first run gets one more; a real fault
# fails both.
set(command ${WINE} ${PROGRAM} --gtest_color=no)
if(FILTER)
    list(APPEND command --gtest_filter=${FILTER})
endif()
execute_process(COMMAND ${command} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message("First run failed (${status}); running once more in the settled locale")
    execute_process(COMMAND ${command} RESULT_VARIABLE status)
endif()
if(NOT status EQUAL 0)
    message(FATAL_ERROR "failed in the day-first locale (${status})")
endif()
