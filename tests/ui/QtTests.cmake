# tvl_add_qt_test(NAME SOURCE LIBRARIES...) builds one Qt Test program and
# registers each of its test functions with CTest as NAME.function, so every
# function runs in a fresh process and ctest can run them side by side.
#
# Test functions are found in the source as the test class's private slots,
# written one per line as "    void name();"; helpers of the class take
# arguments or return something, so they are not mistaken for tests.
# The programs need an X display (scripts/test runs ctest under xvfb-run);
# without one they exit with 77 and CTest counts them as skipped.
# Mesa's software renderer draws on the calling thread (LP_NUM_THREADS=0):
# the pictures are small, and worker threads that come and go at exit can
# crash the sanitizer build's leak check.
function(tvl_add_qt_test name src)
  add_executable(${name} ${src})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/ui)
  target_link_libraries(${name} PRIVATE ${ARGN} Qt6::Test tvl_testsupport tvl_scripted)
  # The test functions are read at configure time: a changed source configures anew.
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${src})
  file(STRINGS ${src} slots REGEX "^    void [a-z][A-Za-z0-9_]*\\(\\);$")
  set(found 0)
  foreach(slot ${slots})
    string(REGEX REPLACE "^    void ([A-Za-z0-9_]+)\\(\\);$" "\\1" function "${slot}")
    if(function MATCHES "^(init|cleanup|initTestCase|cleanupTestCase)$" OR function MATCHES "_data$")
      continue()
    endif()
    add_test(NAME ${name}.${function} COMMAND ${name} ${function})
    set_tests_properties(${name}.${function} PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=xcb;LP_NUM_THREADS=0;TVL_SHARED_DATA=${TVL_SHARED_DATA};LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/ui/lsan-gui.supp:print_suppressions=0"
      SKIP_RETURN_CODE 77
      TIMEOUT 300)
    math(EXPR found "${found} + 1")
  endforeach()
  if(found EQUAL 0)
    message(FATAL_ERROR "${src}: no test functions found")
  endif()
endfunction()
