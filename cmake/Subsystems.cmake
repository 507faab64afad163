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
#   corvane_add_test(NAME test_x SOURCES a.cpp LIBS corvane_model [OBJECTS TestA TestB]
#                    [ENVIRONMENT VAR=value...])
# With OBJECTS (the test classes its Run_Test_Objects runs) every class is a
# CTest test of its own, test_x_TestA ..., so that ctest -j spreads a slow
# executable's independent classes over the cores; test_x_objects fails when
# the list and the executable's classes differ. ENVIRONMENT is added to every
# run of the executable, its serial backend copy included.
function(corvane_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;OBJECTS;ENVIRONMENT" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE Qt6::Test ${T_LIBS})
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests/common)
  corvane_test_pch(${T_NAME} ${T_SOURCES})
  set_property(GLOBAL PROPERTY CORVANE_TEST_OBJECTS_${T_NAME} "${T_OBJECTS}")
  set_property(GLOBAL PROPERTY CORVANE_TEST_ENVIRONMENT_${T_NAME} "${T_ENVIRONMENT}")
  corvane_register_test(${T_NAME} ${T_NAME} "QT_QPA_PLATFORM=offscreen")
endfunction()

# Registers the executable `target` as CTest test `name` (or one test per
# test class, see corvane_add_test) with the given environment.
function(corvane_register_test name target environment)
  # A crashing test otherwise hangs in Qt Test's debugger stack dump until
  # CTest's timeout instead of failing at once.
  get_property(own GLOBAL PROPERTY CORVANE_TEST_ENVIRONMENT_${target})
  set(environment "QTEST_DISABLE_STACK_DUMP=1;${environment};${own}")
  get_property(objects GLOBAL PROPERTY CORVANE_TEST_OBJECTS_${target})
  if(NOT objects)
    add_test(NAME ${name} COMMAND ${target})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${environment}" TIMEOUT 300)
    return()
  endif()
  foreach(object IN LISTS objects)
    add_test(NAME ${name}_${object} COMMAND ${target} -object ${object})
    set_tests_properties(${name}_${object} PROPERTIES ENVIRONMENT "${environment}" TIMEOUT 300)
  endforeach()
  add_test(NAME ${name}_objects COMMAND ${target} -check-objects ${objects})
  set_tests_properties(${name}_objects PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 60)
endfunction()

# Runs an already registered test once more with Qt's serial backend (the
# first run uses the platform's default), so everything that talks to a port
# is checked on both backends from one build.
function(corvane_add_serial_backend_copy name)
  if(UNIX)
    corvane_register_test(${name}_qt ${name} "QT_QPA_PLATFORM=offscreen;CORVANE_SERIAL_BACKEND=qt")
  endif()
endfunction()

# For tests that run device operations: the deliberate pauses and the reply
# timeouts are not what they check, and shortened the operations run the
# same steps and fail the same way.
set(CORVANE_SHORT_DEVICE_WAITS "CORVANE_PAUSE_SCALE=0.1;CORVANE_REPLY_TIMEOUT_SCALE=0.3")
