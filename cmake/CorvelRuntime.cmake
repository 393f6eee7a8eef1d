# The GCC runtime DLLs of the programs built here as C++ hosts are (tests, demo, benchmarks), copied beside
# them. corvel.dll itself carries its runtime and needs none of them.
set(CORVEL_RUNTIME_DLLS)
foreach(dll libstdc++-6.dll ${CORVEL_LIBGCC_DLL} libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE dll_path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${dll_path}" OR NOT EXISTS "${dll_path}")
        message(FATAL_ERROR "runtime DLL ${dll} not found next to ${CMAKE_CXX_COMPILER}")
    endif()
    list(APPEND CORVEL_RUNTIME_DLLS "${dll_path}")
    file(COPY "${dll_path}" DESTINATION ${CMAKE_BINARY_DIR}/bin)
endforeach()
