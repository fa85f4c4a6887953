# The Windows package, a ZIP of the installed programs (bin/), the surveyor's README in
# Japanese and the worked example. `cpack --preset windows-cross` makes it after a build.
if(KARUMENIO_WITH_GUI)
    set(CPACK_PACKAGE_FILE_NAME "karumenio-${PROJECT_VERSION}-windows-x64")
else()
    set(CPACK_PACKAGE_FILE_NAME "karumenio-cli-${PROJECT_VERSION}-windows-x64")
endif()

# UTF-8 with a byte order mark and CR LF, so that every Notepad shows it right.
string(ASCII 239 187 191 byteOrderMark)
file(READ ${CMAKE_CURRENT_LIST_DIR}/README-windows.txt.in readme)
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/package/README.txt
    CONTENT "${byteOrderMark}${readme}" @ONLY NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_BINARY_DIR}/package/README.txt DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/examples/worked_example.tsv DESTINATION example)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_VENDOR "Karumenio")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
# The debugging information stays in the build; the programs shipped are a fraction the size.
set(CPACK_STRIP_FILES ON)
include(CPack)
