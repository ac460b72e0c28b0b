# oryx_add_gtest(<target> [QT_MAIN] [THREADS] LABEL <unit|pty|gui> SOURCES <files...> LIBS <libs...>
#                [TIMEOUT <s>])
# Builds one GoogleTest executable and registers each of its tests with ctest. THREADS adds
# "-threads" to the label of tests that run more than one thread (a simulator counts): tools/tsan runs them.
find_package(GTest REQUIRED)
include(GoogleTest)

function(oryx_add_gtest target)
  cmake_parse_arguments(ARG "QT_MAIN;THREADS" "LABEL;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_LABEL)
    set(ARG_LABEL unit)
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  # One label per test: the discovery script does not keep a list of labels together. ctest -L
  # takes a regular expression, so "pty-threads" is still selected by -L pty.
  set(label ${ARG_LABEL})
  if(ARG_THREADS)
    string(APPEND label -threads)
  endif()
  add_executable(${target} ${ARG_SOURCES})
  if(ARG_QT_MAIN)
    # Dialog tests need a QApplication around every test.
    target_link_libraries(${target} PRIVATE ${ARG_LIBS} oryx_test_qtmain GTest::gtest GTest::gmock)
  else()
    target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  endif()
  # Parameterised cases keep the names their INSTANTIATE gives them ("Models/X.Y/2410KV7730");
  # the printed value would be a dump of the parameter's bytes.
  gtest_discover_tests(${target}
    NO_PRETTY_VALUES
    DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS ${label} TIMEOUT ${ARG_TIMEOUT}
               ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
