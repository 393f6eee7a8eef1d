# The two tiers of tests. `scripts/test` runs the everyday tier (label `everyday`) and builds only what it
# needs (the target `everyday`); `scripts/test --full` runs every test but the short stand-ins of the long
# runs (label `short`). docs/testing.md has the table of suites and the reason for each tier. Every folder
# that adds tests ends with corvel_label_tests(), and the top folder with corvel_everyday_target().
#
# - x64 runs natively everywhere we build, so every x64 test is everyday; the long runs (the soak and the
#   timed fuzzing) have short twins there.
# - x86 runs under an emulator on machines whose kernel refuses 32-bit programs. Its everyday tests are the
#   ones whose outcome the architecture decides: the exports' calling convention and the runtime linked into
#   the DLL, exceptions to and from a C++ host, ANSI code pages, injected faults at the DLL's imports, the
#   plug-in folder and the C interface's ABI. What is the same code on both (dialog behaviour, layout,
#   languages, accessibility, drawing) runs on x86 in the full tier only.

set(corvel_x86_everyday
    sdk_consumer export_tests host_object_tests codepage_tests codepage_tests_932 fault_injection_tests
    capi_tests capi_fault_tests plugin_folder endurance_tests_short)
# The long runs: the full tier's alone. Each has a short twin, NAME_short, in the everyday tier.
set(corvel_long_runs endurance_tests path_parts_fuzz key_sort_fuzz utf8_fuzz)
# What a test run by a script (rather than a program of this build) needs built.
set(corvel_needs_sdk_consumer corvel corvel-demo corvel_msvc_import_lib)
set(corvel_needs_plugin_folder corvel plugin_host plugin_host_static plugin_cxx_part fake_runtime)
set(corvel_needs_npm_package corvel)

# The program target a test runs: the longest leading part of its name that names one
# (high_dpi_tests_144 runs high_dpi_tests), or what corvel_needs_TEST lists for a script's test.
function(corvel_test_targets test out)
    if(DEFINED corvel_needs_${test})
        set(${out} ${corvel_needs_${test}} PARENT_SCOPE)
        return()
    endif()
    set(name ${test})
    while(NOT TARGET ${name})
        string(FIND ${name} _ last REVERSE)
        if(last LESS 1)
            set(${out} "" PARENT_SCOPE)
            return()
        endif()
        string(SUBSTRING ${name} 0 ${last} name)
    endwhile()
    set(${out} ${name} PARENT_SCOPE)
endfunction()

# Labels the tests of the current folder with their tier, and notes what the everyday ones need built.
function(corvel_label_tests)
    get_property(tests DIRECTORY PROPERTY TESTS)
    foreach(test ${tests})
        if(test IN_LIST corvel_long_runs)
            set(labels full)
        elseif(test MATCHES "_short$")
            set(labels everyday short)
        elseif(CORVEL_ARCH STREQUAL x64 OR test IN_LIST corvel_x86_everyday)
            set(labels everyday)
        else()
            set(labels full)
        endif()
        set_tests_properties(${test} PROPERTIES LABELS "${labels}")
        if(everyday IN_LIST labels)
            corvel_test_targets(${test} targets)
            set_property(GLOBAL APPEND PROPERTY CORVEL_EVERYDAY_TARGETS ${targets})
        endif()
    endforeach()
endfunction()

# The target that builds what the everyday tests of this architecture run.
function(corvel_everyday_target)
    get_property(targets GLOBAL PROPERTY CORVEL_EVERYDAY_TARGETS)
    list(REMOVE_DUPLICATES targets)
    add_custom_target(everyday)
    if(targets)
        add_dependencies(everyday ${targets})
    endif()
endfunction()
