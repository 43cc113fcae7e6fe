list(APPEND TV_PLATFORM_SOURCES
  ${CMAKE_CURRENT_SOURCE_DIR}/clock.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/event_loop.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/timer_control.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/media_player.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/media_mpv.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/media_midi.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/sound_recorder.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/video_player.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/application.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/component_host.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/dialog_presenter.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/automation.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/script_bridge.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/script_engine.h
  ${CMAKE_CURRENT_SOURCE_DIR}/vbs_script_engine.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/desktop.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/system_objects.cpp
)
list(APPEND TV_PLATFORM_TESTS
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/test_clock_timers.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/test_dialogs.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/test_script_bridge.cpp
)
