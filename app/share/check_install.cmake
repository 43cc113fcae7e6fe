# Installs the build into a fresh prefix and checks what a Linux user gets there:
#   cmake -DBUILD=build -DPREFIX=/tmp/x -P check_install.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX}
  OUTPUT_QUIET RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed")
endif()
foreach(f bin/torvane-player share/applications/torvane-player.desktop
    share/icons/hicolor/scalable/apps/torvane-player.svg share/man/man6/torvane-player.6
    share/torvane-player/demo/Config/General)
  if(NOT EXISTS ${PREFIX}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
execute_process(COMMAND ${PREFIX}/bin/torvane-player --version OUTPUT_VARIABLE version)
if(NOT version MATCHES "^torvane-player \\(Torvane Player\\) ")
  message(FATAL_ERROR "torvane-player --version says: ${version}")
endif()
file(READ ${PREFIX}/share/man/man6/torvane-player.6 page)
if(NOT page MATCHES "\\.SH NAME" OR NOT page MATCHES "torvane-player \\[PROJECT_FOLDER\\]"
    OR NOT page MATCHES "\\\\-\\\\-walkthrough")
  message(FATAL_ERROR "the manual page lacks its name, synopsis or options")
endif()
file(REMOVE_RECURSE ${PREFIX})
