# Header-only libraries from Debian's packages. The cross build must not see /usr/include
# as a whole (glibc's headers would shadow MinGW's), so each library's own folder is linked
# into a private include folder of the build tree.
function(certvane_header_library target header_dir link_name)
    if(NOT EXISTS "${header_dir}")
        message(FATAL_ERROR "${header_dir} is missing: run scripts/install-deps")
    endif()
    set(root "${CMAKE_BINARY_DIR}/third-party-include/${target}")
    file(MAKE_DIRECTORY "${root}")
    file(CREATE_LINK "${header_dir}" "${root}/${link_name}" SYMBOLIC)
    add_library(${target} INTERFACE)
    target_include_directories(${target} SYSTEM INTERFACE "${root}")
endfunction()

certvane_header_library(nlohmann_json_headers /usr/include/nlohmann nlohmann)
