# Per-toolchain settings: the Windows build is static and self-contained, the host build
# runs under the sanitizers.
if(WIN32)
    add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00)
    add_link_options(-static -static-libgcc -static-libstdc++)
    # Shipped programs carry no symbol table: it more than doubles their size.
    add_link_options($<$<CONFIG:Release>:-s>)
    # Every Windows program runs through Wine in a prefix that lives and dies with the build tree.
    set(CERTVANE_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
    set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_SOURCE_DIR}/tools/wine-run;${CERTVANE_WINEPREFIX}")
    find_program(CERTVANE_OBJDUMP NAMES x86_64-w64-mingw32-objdump REQUIRED)
elseif(CERTVANE_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)
    add_link_options(-fsanitize=address,undefined)
elseif(CERTVANE_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
