# The toolbox's system icons (creator 'macs'): each code's PNG pictures (png/<code>-<size>.png,
# drawn by make_system_icons.py and kept in the repository) become an 'icns' family through
# png2icns, and the families are embedded into the toolbox library as a generated source, so
# the toolbox needs no icon files at run time. Included from toolbox/CMakeLists.txt, after the
# toolbox target exists (the generating rule must live in the target's own directory).

find_program(PNG2ICNS_EXECUTABLE png2icns)
if(NOT PNG2ICNS_EXECUTABLE)
  message(FATAL_ERROR "png2icns not found: install the icnsutils package (scripts/setup.sh does)")
endif()

set(SYSTEM_ICON_CODES caut fldr APPL docu alis pack)
set(SYSTEM_ICON_SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR})
set(SYSTEM_ICON_BUILD_DIR ${CMAKE_CURRENT_BINARY_DIR}/system_icons)
# The plug-in's icon rule already knows png2icns's quirks; reuse its script.
set(SYSTEM_ICON_FAMILY_SCRIPT ${CMAKE_SOURCE_DIR}/resources/icons/icns_family.cmake)

set(system_icns "")
foreach(code ${SYSTEM_ICON_CODES})
  set(pngs "")
  foreach(size 128 32 16)
    list(APPEND pngs ${SYSTEM_ICON_SOURCE_DIR}/png/${code}-${size}.png)
  endforeach()
  set(icns ${SYSTEM_ICON_BUILD_DIR}/${code}.icns)
  add_custom_command(OUTPUT ${icns}
    COMMAND ${CMAKE_COMMAND} -DPNG2ICNS=${PNG2ICNS_EXECUTABLE} -DOUTPUT=${icns} "-DINPUTS=${pngs}"
            -P ${SYSTEM_ICON_FAMILY_SCRIPT}
    DEPENDS ${pngs} ${SYSTEM_ICON_FAMILY_SCRIPT}
    COMMENT "Building system icon family ${code}.icns"
    VERBATIM)
  list(APPEND system_icns ${icns})
endforeach()

set(system_icon_source ${SYSTEM_ICON_BUILD_DIR}/system_icon_data.cpp)
add_custom_command(OUTPUT ${system_icon_source}
  COMMAND ${CMAKE_COMMAND} -DOUTPUT=${system_icon_source} -DDIR=${SYSTEM_ICON_BUILD_DIR}
          "-DCODES=${SYSTEM_ICON_CODES}" -P ${SYSTEM_ICON_SOURCE_DIR}/embed_icons.cmake
  DEPENDS ${system_icns} ${SYSTEM_ICON_SOURCE_DIR}/embed_icons.cmake
  COMMENT "Embedding the system icon families"
  VERBATIM)
target_sources(toolbox PRIVATE ${system_icon_source})
