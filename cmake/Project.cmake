# Shared helpers for the project's CMake files.

# vc_library(NAME <target> [FOLDER <dir>] [LIBS ...] [PUBLIC_LIBS ...] [SYSTEM_INCLUDES ...])
# A static library of every .cpp file in the folder (re-globbed on each build),
# so adding a source file needs no CMake edit.
function(vc_library)
  cmake_parse_arguments(A "" "NAME;FOLDER" "LIBS;PUBLIC_LIBS;SYSTEM_INCLUDES" ${ARGN})
  if(NOT A_FOLDER)
    set(A_FOLDER ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  file(GLOB _src CONFIGURE_DEPENDS ${A_FOLDER}/*.cpp ${A_FOLDER}/*.c)
  file(GLOB _hdr CONFIGURE_DEPENDS ${A_FOLDER}/*.h)
  if(_src)
    add_library(${A_NAME} STATIC ${_src} ${_hdr})
    target_include_directories(${A_NAME} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${A_NAME} PUBLIC ${A_PUBLIC_LIBS} PRIVATE ${A_LIBS})
    target_include_directories(${A_NAME} SYSTEM PUBLIC ${A_SYSTEM_INCLUDES})
  else()
    add_library(${A_NAME} INTERFACE)
    target_include_directories(${A_NAME} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${A_NAME} INTERFACE ${A_PUBLIC_LIBS})
    target_include_directories(${A_NAME} SYSTEM INTERFACE ${A_SYSTEM_INCLUDES})
  endif()
endfunction()

# vc_gtest(NAME <exe> LABELS <label...> SOURCES <files...> LIBS <targets...>)
# One test executable; every TEST in it becomes a ctest entry with the labels.
# The environment the tests run in is set in tests/CMakeLists.txt.
function(vc_gtest)
  cmake_parse_arguments(A "" "NAME" "LABELS;SOURCES;LIBS" ${ARGN})
  add_executable(${A_NAME} ${A_SOURCES})
  target_link_libraries(${A_NAME} PRIVATE ${A_LIBS} GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads)
  gtest_discover_tests(${A_NAME}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60)
  # Discovery drops all but the first label of a list, so the labels go on the
  # folder: every test of an executable in it carries them all.
  set_property(DIRECTORY APPEND PROPERTY LABELS ${A_LABELS})
endfunction()

# vc_embed(TARGET <target> NAME <resource-name> FILE <path>...)
# Compiles files into the program; rtl::Resource(name) returns their bytes.
function(vc_embed)
  cmake_parse_arguments(A "" "TARGET" "NAMES;FILES" ${ARGN})
  set(_out ${CMAKE_CURRENT_BINARY_DIR}/${A_TARGET}_embedded.cpp)
  add_custom_command(OUTPUT ${_out}
    COMMAND ${CMAKE_COMMAND} -DOUT=${_out} "-DNAMES=${A_NAMES}" "-DFILES=${A_FILES}"
            -P ${PROJECT_SOURCE_DIR}/cmake/Embed.cmake
    DEPENDS ${A_FILES} ${PROJECT_SOURCE_DIR}/cmake/Embed.cmake
    COMMENT "Embedding resources into ${A_TARGET}")
  target_sources(${A_TARGET} PRIVATE ${_out})
endfunction()
