# A static core library named after its folder: karumenio_NAME with the alias Karumenio::NAME,
# the folder above it on the include path, and its public links.
# EXACT_FLOATS: its numbers must not depend on whether the compiler fuses a multiply and an add.
function(karumenio_core_library name)
    cmake_parse_arguments(ARG "EXACT_FLOATS" "" "SOURCES;LINKS" ${ARGN})
    add_library(karumenio_${name} STATIC ${ARG_SOURCES})
    add_library(Karumenio::${name} ALIAS karumenio_${name})
    target_include_directories(karumenio_${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/..)
    target_link_libraries(karumenio_${name} PUBLIC ${ARG_LINKS} karumenio_options)
    if(KARUMENIO_FUZZ)
        target_compile_options(karumenio_${name} PRIVATE -fsanitize=fuzzer-no-link)
    endif()
    if(ARG_EXACT_FLOATS AND CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
        target_compile_options(karumenio_${name} PRIVATE -ffp-contract=off)
    endif()
endfunction()
