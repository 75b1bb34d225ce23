# Helpers for test suites that this machine may be unable to run. Such tests are never left out
# of ctest's list: they report themselves skipped with the reason.

# lumo_add_skipped_test(NAME REASON): registers NAME as a test that prints "skipped: REASON" and
# exits with 77, which ctest reports as skipped.
function(lumo_add_skipped_test name reason)
    add_test(NAME ${name} COMMAND sh -c "echo \"skipped: $1\"; exit 77" sh "${reason}")
    set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77)
endfunction()

# lumo_optional_suite(OPTION TITLE OUT_REASON [VARIABLE PROGRAM]...): decides whether the suite
# switched by the AUTO/ON/OFF cache entry OPTION can run, looking each PROGRAM up into the cache
# entry VARIABLE. Sets OUT_REASON to why the suite cannot run, or to "" when it can.
function(lumo_optional_suite option title out_reason)
    set(reason "")
    string(TOUPPER "${${option}}" mode)
    if(NOT mode STREQUAL "AUTO" AND NOT ${option})
        set(reason "${title} turned off (${option}=${${option}})")
    else()
        set(missing)
        set(tools ${ARGN})
        while(tools)
            list(POP_FRONT tools var program)
            # A program removed since the last configure is looked up again.
            if(${var} AND NOT EXISTS "${${var}}")
                unset(${var} CACHE)
            endif()
            find_program(${var} ${program})
            if(NOT ${var})
                list(APPEND missing ${program})
            endif()
        endwhile()
        if(missing)
            list(JOIN missing ", " missing)
            set(reason "${title} unavailable: ${missing} not found (scripts/test.sh installs them when it can)")
        endif()
    endif()
    if(reason)
        message(STATUS "${reason}; their tests report themselves skipped")
    endif()
    set(${out_reason} "${reason}" PARENT_SCOPE)
endfunction()
