# Test helpers shared by every test folder.
enable_testing()
if(NOT CERTVANE_FUZZ)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)
endif()

# The Windows path of a host path as Wine's Z: drive shows it.
function(certvane_wine_path out host_path)
    set(${out} "Z:${host_path}" PARENT_SCOPE)
endfunction()

# Fails when a Windows executable imports a DLL that a bare Windows (PE) does not ship, or one of
# the DLLs named after the target (which that program never calls).
function(certvane_check_imports target)
    if(WIN32)
        add_test(NAME imports.${target}
                 COMMAND "${CMAKE_SOURCE_DIR}/tools/check-imports" "${CERTVANE_OBJDUMP}"
                         $<TARGET_FILE:${target}> ${ARGN})
    endif()
endfunction()

# Fails when a program that ships carries its symbol table (Release builds link with -s).
function(certvane_check_stripped target)
    if(WIN32 AND CMAKE_BUILD_TYPE STREQUAL "Release")
        add_test(NAME stripped.${target}
                 COMMAND "${CMAKE_SOURCE_DIR}/tools/check-stripped" "${CERTVANE_OBJDUMP}"
                         $<TARGET_FILE:${target}>)
    endif()
endfunction()

# certvane_add_gtest(name SOURCES ... LIBS ... [GUI])
# One CTest entry per test program; GoogleTest prints the cases. GUI programs get a display.
function(certvane_add_gtest name)
    cmake_parse_arguments(T "GUI" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} gmock gtest_main)
    target_include_directories(${name} PRIVATE "${CMAKE_SOURCE_DIR}")
    if(WIN32 AND T_GUI)
        add_test(NAME ${name}
                 COMMAND "${CMAKE_SOURCE_DIR}/tools/with-display" "${CMAKE_SOURCE_DIR}/tools/wine-run"
                         "${CERTVANE_WINEPREFIX}" $<TARGET_FILE:${name}>)
    else()
        add_test(NAME ${name} COMMAND ${name})
    endif()
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "GTEST_COLOR=no" TIMEOUT 600)
    certvane_check_imports(${name})
endfunction()
