# qv-flash.exe's resources: the icon drawn from the same shapes as the Linux build's, and a
# VERSIONINFO with the project's version.

# A cross build takes the drawing tool from the host build's tools (QV_DRAW_ARTWORK_TOOL); a
# native Windows build with the Qt application draws with its own.
if(QV_DRAW_ARTWORK_TOOL)
  if(NOT EXISTS ${QV_DRAW_ARTWORK_TOOL})
    message(FATAL_ERROR "qv-flash.exe's icon is drawn by the host build's qv-draw-artwork, "
                        "which is not there: build the host build (cmake --preset release) "
                        "first. Not found: '${QV_DRAW_ARTWORK_TOOL}'")
  endif()
  set(draw_artwork ${QV_DRAW_ARTWORK_TOOL})
elseif(QV_BUILD_APP)
  set(draw_artwork qv_draw_artwork)
else()
  message(FATAL_ERROR "qv-flash.exe's icon needs qv-draw-artwork: hand a host build's tools "
                      "over with -DQV_HOST_TOOLS_DIR=<host build>/tools")
endif()

set(artwork ${CMAKE_CURRENT_BINARY_DIR}/artwork)
set(QV_FLASH_ICON ${artwork}/qv-flash.ico)
add_custom_command(
  OUTPUT ${QV_FLASH_ICON}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${artwork}
  # The tool draws the banner too; qv-flash has no use for it.
  COMMAND ${draw_artwork} --windows ${artwork}/unused-banner.bmp ${QV_FLASH_ICON}
  DEPENDS ${draw_artwork}
  COMMENT "Drawing qv-flash.exe's icon"
  VERBATIM)

set(rc ${CMAKE_CURRENT_BINARY_DIR}/qv-flash.rc)
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/qv-flash.rc.in ${rc} @ONLY)
set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${QV_FLASH_ICON})
target_sources(qv-flash PRIVATE ${rc} ${QV_FLASH_ICON})

# The installer shows the same icon (packaging/windows.cmake).
set_property(GLOBAL PROPERTY QV_WINDOWS_ICON ${QV_FLASH_ICON})
