list(APPEND TV_PLATFORM_SOURCES
  ${CMAKE_CURRENT_SOURCE_DIR}/transition_frames.cpp
)
list(APPEND TV_PLATFORM_TESTS
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/test_transition_frames.cpp
)
