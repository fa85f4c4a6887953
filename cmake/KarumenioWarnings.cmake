# Every target of the project gets the same warnings and, when asked, the sanitizers.
add_library(karumenio_options INTERFACE)
add_library(Karumenio::options ALIAS karumenio_options)
target_compile_features(karumenio_options INTERFACE cxx_std_20)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(karumenio_options INTERFACE -Wall -Wextra -Wpedantic)
    # g++ 12 reports false overlaps in std::string concatenation at -O2 and above (fixed in 13).
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        target_compile_options(karumenio_options INTERFACE -Wno-restrict)
    endif()
    if(KARUMENIO_SANITIZE)
        target_compile_options(karumenio_options INTERFACE
            -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
        target_link_options(karumenio_options INTERFACE -fsanitize=address,undefined)
    endif()
    # The fuzz targets need the libraries they fuzz instrumented for coverage (see
    # karumenio_core_library) as well as sanitized; the other programs only sanitized.
    if(KARUMENIO_FUZZ)
        target_compile_options(karumenio_options INTERFACE
            -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
        target_link_options(karumenio_options INTERFACE -fsanitize=address,undefined)
    endif()
    # emscripten turns exceptions off unless asked; the core reports errors with them, so
    # WebAssembly's own exception handling is on, for compiling and linking alike.
    if(EMSCRIPTEN)
        target_compile_options(karumenio_options INTERFACE -fwasm-exceptions)
        target_link_options(karumenio_options INTERFACE -fwasm-exceptions)
    endif()
elseif(MSVC)
    target_compile_options(karumenio_options INTERFACE /W4 /utf-8)
endif()
