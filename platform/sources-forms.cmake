list(APPEND TV_PLATFORM_SOURCES
  ${CMAKE_CURRENT_SOURCE_DIR}/picture.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/mouse_pointer.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/screen.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/controls.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/control_drag.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/control_basic.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/control_canvas.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/form.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/form_stage.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/control_inputs.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/form_window.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/control_check.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/product_logo.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/menu.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/control_set.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/animated_picture.cpp
)
list(APPEND TV_PLATFORM_TESTS
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/test_picture.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/test_mouse_pointer.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/test_controls.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/test_check_box_form_window.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/test_control_set.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/test_menu.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/test_form_stage.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/test_list_text_boxes.cpp
)
