# Shared build settings for every target of the project.

set(QB_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
    -Wformat=2 -Wimplicit-fallthrough)

# qb_library(NAME <target> SOURCES <files...> [LIBS <libs...>])
# A static library of the project with the source root on its include path.
function(qb_library)
  cmake_parse_arguments(QB "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_library(${QB_NAME} STATIC ${QB_SOURCES})
  target_include_directories(${QB_NAME} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_compile_options(${QB_NAME} PRIVATE ${QB_WARNINGS})
  if(QB_LIBS)
    target_link_libraries(${QB_NAME} PUBLIC ${QB_LIBS})
  endif()
endfunction()

# What each test program's run is given: its tests in a shuffled order, twice over (each round
# in another order), so that a test that leans on another's leftovers fails. The order follows
# GTEST_RANDOM_SEED when it is set (the test command fixes it) and is printed either way.
set(QB_TEST_ORDER --gtest_shuffle --gtest_repeat=2)
set(QB_TEST_ENVIRONMENT)
if(QB_SANITIZE)
  # The first report ends the program; leaks in system libraries are named in the suppressions.
  list(APPEND QB_TEST_ENVIRONMENT
       "ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1"
       "UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1"
       "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/sanitizers/lsan.supp:print_suppressions=0")
endif()

# qb_test(NAME <name> SOURCES <files...> [LIBS <libs...>] [MAIN plain|gui|widgets] [XVFB])
# One GoogleTest program, run by ctest as one process holding all its tests (in the order above;
# run the program with --gtest_filter for one test).
#   plain:   no Qt application object (the default)
#   gui:     a QGuiApplication on the offscreen platform (fonts, QTextDocument, QImage painting)
#   widgets: a QApplication on the offscreen platform, with the test doubles (tests/support)
#   XVFB:    the program needs a real X server; it runs under xvfb-run on the xcb platform
function(qb_test)
  cmake_parse_arguments(QB "XVFB" "NAME;MAIN" "SOURCES;LIBS" ${ARGN})
  if(NOT QB_MAIN)
    set(QB_MAIN plain)
  endif()
  add_executable(${QB_NAME} ${QB_SOURCES})
  target_compile_options(${QB_NAME} PRIVATE ${QB_WARNINGS})
  target_include_directories(${QB_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${QB_NAME} PRIVATE QB_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data")
  if(QB_MAIN STREQUAL "plain")
    target_link_libraries(${QB_NAME} PRIVATE GTest::gtest GTest::gtest_main GTest::gmock ${QB_LIBS})
  else()
    target_link_libraries(${QB_NAME} PRIVATE qb_testmain_${QB_MAIN} ${QB_LIBS})
  endif()
  if(QB_MAIN STREQUAL "widgets")
    target_link_libraries(${QB_NAME} PRIVATE qb_test_support_ui)
  endif()
  if(QB_XVFB)
    # One X server for the whole program: its tests share it.
    add_test(NAME ${QB_NAME}
             COMMAND xvfb-run -a -s "-screen 0 1280x1024x24" $<TARGET_FILE:${QB_NAME}>
                     ${QB_TEST_ORDER})
    set(platform xcb)
  else()
    add_test(NAME ${QB_NAME} COMMAND ${QB_NAME} ${QB_TEST_ORDER})
    set(platform offscreen)
  endif()
  set_tests_properties(${QB_NAME} PROPERTIES
                       ENVIRONMENT "QT_QPA_PLATFORM=${platform};${QB_TEST_ENVIRONMENT}"
                       TIMEOUT 600)
endfunction()

# qb_bench(NAME <name> SOURCES <files...> [LIBS <libs...>])
function(qb_bench)
  cmake_parse_arguments(QB "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${QB_NAME} ${QB_SOURCES})
  target_compile_options(${QB_NAME} PRIVATE ${QB_WARNINGS})
  target_include_directories(${QB_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/bench)
  target_link_libraries(${QB_NAME} PRIVATE ${QB_LIBS})
endfunction()
