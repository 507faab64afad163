# Every subsystem folder brings its own CMakeLists.txt; a parent folder takes
# the ones that exist, so a subsystem is added by creating its folder.
function(corvane_add_subdirectories)
  foreach(dir IN LISTS ARGN)
    if(EXISTS "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt")
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()

# A Qt Test executable registered with CTest. Usage:
#   corvane_add_test(NAME test_x SOURCES a.cpp LIBS corvane_model)
function(corvane_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE Qt6::Test ${T_LIBS})
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests/common)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
endfunction()

# Runs an already registered test once more with Qt's serial backend (the
# first run uses the platform's default), so everything that talks to a port
# is checked on both backends from one build.
function(corvane_add_serial_backend_copy name)
  if(UNIX)
    add_test(NAME ${name}_qt COMMAND ${name})
    set_tests_properties(${name}_qt PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;CORVANE_SERIAL_BACKEND=qt" TIMEOUT 300)
  endif()
endfunction()
