# Project-wide compiler settings and helpers for our own targets.

if(VELTINDEXER_SANITIZE AND VELTINDEXER_TSAN)
  message(FATAL_ERROR "VELTINDEXER_SANITIZE and VELTINDEXER_TSAN exclude each other")
endif()
if(VELTINDEXER_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(VELTINDEXER_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
# Fuzz builds (clang only) give every library the fuzzer's coverage hooks
# besides AddressSanitizer and UndefinedBehaviorSanitizer; only the fuzz
# targets themselves link the fuzzer's main.
if(VELTINDEXER_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "VELTINDEXER_FUZZ needs clang (CC=clang CXX=clang++)")
  endif()
  if(VELTINDEXER_SANITIZE OR VELTINDEXER_TSAN)
    message(FATAL_ERROR "VELTINDEXER_FUZZ brings its own sanitizers")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# Warnings are errors in our own code only; third-party headers come in as
# system includes and do not count.
function(velt_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# velt_library(NAME velt_x SOURCES ... DEPS ...)
# One static library per top folder. Its headers are included as
# "folder/Header.h" from the repository root.
function(velt_library)
  cmake_parse_arguments(ARG "" "NAME" "SOURCES;DEPS" ${ARGN})
  add_library(${ARG_NAME} STATIC ${ARG_SOURCES})
  target_include_directories(${ARG_NAME} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${ARG_NAME} PUBLIC ${ARG_DEPS})
  velt_warnings(${ARG_NAME})
endfunction()

# velt_test(NAME x SOURCES ... DEPS ... [GUI])
# A GoogleTest executable registered with CTest. GUI tests run on the
# offscreen platform so they need no display.
function(velt_test)
  cmake_parse_arguments(ARG "GUI" "NAME;TIMEOUT" "SOURCES;DEPS;LABELS" ${ARGN})
  add_executable(${ARG_NAME} ${ARG_SOURCES})
  target_link_libraries(${ARG_NAME} PRIVATE ${ARG_DEPS} GTest::gmock GTest::gtest_main)
  target_include_directories(${ARG_NAME} PRIVATE ${PROJECT_SOURCE_DIR})
  velt_warnings(${ARG_NAME})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  # An empty value would shift the property list, so the environment is
  # added only when there is one.
  set(properties TIMEOUT ${ARG_TIMEOUT})
  if(ARG_GUI)
    list(APPEND properties ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
  gtest_discover_tests(${ARG_NAME} DISCOVERY_TIMEOUT 60 TEST_LIST ${ARG_NAME}_TESTS
                       PROPERTIES ${properties})
  # Labels are a list, which the discovery script would flatten; they are
  # set by a script CTest reads after the discovered tests.
  if(ARG_LABELS)
    set(label_script ${CMAKE_CURRENT_BINARY_DIR}/${ARG_NAME}_labels.cmake)
    file(WRITE ${label_script}
         "if(${ARG_NAME}_TESTS)\n"
         "  set_tests_properties(\${${ARG_NAME}_TESTS} PROPERTIES LABELS \"${ARG_LABELS}\")\n"
         "endif()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${label_script})
  endif()
endfunction()

# Programs of others (the sqlite3 shell, Python) that load our SQLite
# extension in a sanitizer build need the sanitizer's runtime loaded
# first; tests that run them preload this file (empty otherwise).
set(VELT_FOREIGN_HOST_PRELOAD "")
if(VELTINDEXER_SANITIZE)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libasan.so
                  OUTPUT_VARIABLE VELT_FOREIGN_HOST_PRELOAD OUTPUT_STRIP_TRAILING_WHITESPACE)
endif()

# velt_forbid_links(target lib...)
# Stops the configuration when `target` links any of `lib` directly or
# through the libraries it links: a layer that must stay free of them.
function(velt_forbid_links target)
  set(pending ${target})
  set(seen "")
  while(pending)
    list(POP_FRONT pending current)
    if(current IN_LIST seen OR NOT TARGET ${current})
      continue()
    endif()
    list(APPEND seen ${current})
    get_target_property(aliased ${current} ALIASED_TARGET)
    if(aliased)
      list(APPEND pending ${aliased})
    endif()
    foreach(property LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
      get_target_property(links ${current} ${property})
      if(links)
        list(APPEND pending ${links})
      endif()
    endforeach()
  endwhile()
  foreach(lib ${ARGN})
    if(lib IN_LIST seen)
      message(FATAL_ERROR "${target} must not link ${lib}")
    endif()
    if(TARGET ${lib})
      get_target_property(aliased ${lib} ALIASED_TARGET)
      if(aliased AND aliased IN_LIST seen)
        message(FATAL_ERROR "${target} must not link ${lib}")
      endif()
    endif()
  endforeach()
endfunction()
