# Installs the build into PREFIX and checks that the program, its menu entry, its icons, its
# manual page, its notices and the sample database land where a desktop expects them.
# cmake -DBUILD_DIR=… -DPREFIX=… -DDATADIR=share -DBINDIR=bin -DMANDIR=share/man
#       -DPAPERWORKDIR=lib/…/razividerur
#       [-DVALIDATE=desktop-file-validate] -P check_install.cmake
cmake_minimum_required(VERSION 3.21)
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cmake --install failed (${rc}):\n${out}\n${err}")
endif()

set(program "${PREFIX}/${BINDIR}/razividerur")
set(desktop "${PREFIX}/${DATADIR}/applications/razividerur.desktop")
set(icon "${PREFIX}/${DATADIR}/icons/hicolor/64x64/apps/razividerur.png")
set(sample "${PREFIX}/${DATADIR}/razividerur/examples/Образец.zet")
set(svg "${PREFIX}/${DATADIR}/icons/hicolor/scalable/apps/razividerur.svg")
set(manpage "${PREFIX}/${MANDIR}/man1/razividerur.1.gz")
set(docs "${PREFIX}/${DATADIR}/doc/razividerur")
set(paperwork "${PREFIX}/${PAPERWORKDIR}/razividerur-paperwork.so")
foreach(f IN ITEMS "${program}" "${paperwork}" "${desktop}" "${icon}" "${sample}" "${svg}" "${manpage}" "${docs}/copyright"
                   "${docs}/changelog.gz")
    if(NOT EXISTS "${f}")
        message(FATAL_ERROR "not installed: ${f}")
    endif()
endforeach()
execute_process(COMMAND test -x "${program}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "not executable: ${program}")
endif()

# The installed program finds its paperwork's library from its own folder.
file(MAKE_DIRECTORY "${PREFIX}/journal")
execute_process(COMMAND "${program}" journal export --to "${PREFIX}/exams.csv" --folder "${PREFIX}/journal"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT EXISTS "${PREFIX}/exams.csv")
    message(FATAL_ERROR "the installed program's journal export failed (${rc}):\n${out}${err}")
endif()

file(READ "${icon}" png LIMIT 24 HEX)
# PNG signature, then the IHDR chunk: width and height 64.
if(NOT png MATCHES "^89504e470d0a1a0a0000000d494844520000004000000040")
    message(FATAL_ERROR "the icon is not a 64-pixel-wide PNG: ${png}")
endif()

file(READ "${svg}" svgText)
if(NOT svgText MATCHES "<svg[^>]* viewBox=\"0 0 64 64\"")
    message(FATAL_ERROR "the scalable icon is no 64-unit SVG drawing")
endif()
file(READ "${manpage}" gz LIMIT 2 HEX)
if(NOT gz STREQUAL "1f8b")
    message(FATAL_ERROR "the manual page is not compressed with gzip")
endif()

file(STRINGS "${desktop}" lines ENCODING UTF-8)
foreach(want IN ITEMS "Type=Application" "Name=Razividerur" "Comment=Программа для проверки знаний"
                      "Comment[ru]=Программа для проверки знаний" "Icon=razividerur" "Exec=razividerur")
    if(NOT want IN_LIST lines)
        message(FATAL_ERROR "${desktop} lacks the line: ${want}")
    endif()
endforeach()

file(SIZE "${sample}" size)
if(size LESS 6384502)
    message(FATAL_ERROR "the installed sample database is only ${size} bytes")
endif()

if(VALIDATE)
    execute_process(COMMAND "${VALIDATE}" "${desktop}" RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "desktop-file-validate rejects ${desktop}:\n${out}${err}")
    endif()
endif()
file(REMOVE_RECURSE "${PREFIX}")
message(STATUS "installation layout checked")
