list(APPEND TV_PLATFORM_SOURCES
  ${CMAKE_CURRENT_SOURCE_DIR}/cp1252.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/records.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/ini.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/settings_store.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/files.cpp
)
list(APPEND TV_PLATFORM_TESTS
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/test_cp1252.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/test_records.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/test_ini.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/test_settings_store.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/test_files.cpp
)
