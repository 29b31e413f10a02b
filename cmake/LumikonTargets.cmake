# SPDX-License-Identifier: GPL-3.0-or-later
# Shared warning set and the one-line test helper.

function(lumikon_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-unused-parameter)
endfunction()

# lumikon_library(name SOURCES ... LIBS ...): one static library of a subsystem folder.
function(lumikon_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  lumikon_warnings(${name})
endfunction()

# lumikon_add_test(name LIBS ... [WIDGETS]): builds tests/<folder>/<name>.cpp into a GoogleTest
# program with a Qt application object and registers it with CTest. WIDGETS gives it a
# QApplication (widget tests) instead of a QGuiApplication; all tests run on the offscreen platform.
function(lumikon_add_test name)
  cmake_parse_arguments(ARG "WIDGETS" "" "LIBS;SOURCES" ${ARGN})
  add_executable(${name} ${name}.cpp ${ARG_SOURCES})
  if(ARG_WIDGETS)
    target_link_libraries(${name} PRIVATE lumikon_test_main_widgets)
  else()
    target_link_libraries(${name} PRIVATE lumikon_test_main_gui)
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock)
  target_compile_definitions(${name} PRIVATE
    LUMIKON_SOURCE_DIR="${CMAKE_SOURCE_DIR}" LUMIKON_BINARY_DIR="${CMAKE_BINARY_DIR}")
  lumikon_warnings(${name})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8" TIMEOUT 600)
endfunction()
