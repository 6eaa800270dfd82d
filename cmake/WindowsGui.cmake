# The Windows side of the desktop program's build, with a static Qt for
# mingw-w64 (packaging/windows/qt-for-windows). Qt's plugins are linked into
# each executable: Program.exe gets the windows platform plugin and the
# windowsvista style, program-print.exe and the test suites the offscreen
# platform as well, which draws without a screen.

# The program's icon as the executable's Windows icon (resource ID 1, the
# one the shell shows); the code-page manifest comes with radiocore.
set(PROGRAM_ICON_RC ${CMAKE_BINARY_DIR}/program-icon.rc)
file(WRITE ${PROGRAM_ICON_RC}.in "1 ICON \"${PROJECT_SOURCE_DIR}/src/resources/title.ico\"\n")
configure_file(${PROGRAM_ICON_RC}.in ${PROGRAM_ICON_RC} COPYONLY)

function(program_windows_gui_executable target)
  set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ON)
  target_sources(${target} PRIVATE ${PROGRAM_ICON_RC})
  qt_import_plugins(${target} INCLUDE Qt6::QWindowsIntegrationPlugin Qt6::QWindowsVistaStylePlugin)
endfunction()

# Programs that draw without a window: the offscreen platform, chosen by
# QT_QPA_PLATFORM (under wine WINEQT_QPA_PLATFORM). The style comes with
# Qt's Widgets, where the directory found it.
function(program_windows_offscreen_executable target)
  set(plugins Qt6::QOffscreenIntegrationPlugin Qt6::QWindowsIntegrationPlugin)
  if(TARGET Qt6::QWindowsVistaStylePlugin)
    list(APPEND plugins Qt6::QWindowsVistaStylePlugin)
  endif()
  qt_import_plugins(${target} INCLUDE ${plugins})
endfunction()
