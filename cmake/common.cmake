# Flags and helpers shared by every target.

if(WIN32)
  # True IEEE single and double precision on i686 (no x87 excess precision).
  add_compile_options(-msse2 -mfpmath=sse)
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0600)
  add_link_options(-static -static-libgcc -static-libstdc++)
  set(KM_DATA_PREFIX "Z:")
else()
  set(KM_DATA_PREFIX "")
  option(KM_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" ON)
  if(KM_FUZZ)
    # Instrument everything for libFuzzer; the targets themselves add -fsanitize=fuzzer.
    set(KM_SANITIZE_FLAGS -fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  elseif(KM_SANITIZE)
    set(KM_SANITIZE_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  endif()
  add_compile_options(${KM_SANITIZE_FLAGS})
  add_link_options(${KM_SANITIZE_FLAGS})
endif()
add_compile_options(-Wall -Wextra)

# Where tests find their fixture files (a Wine program sees the Linux root as Z:).
set(KM_TEST_DATA_DIR "${KM_DATA_PREFIX}${CMAKE_SOURCE_DIR}/tests/data")
# The Windows deliverables (programs and their files) are gathered in one folder.
set(KM_DIST_DIR "${CMAKE_BINARY_DIR}/dist")
# Where tests write what a person should look at afterwards (screenshots).
set(KM_TEST_OUTPUT_DIR "${CMAKE_BINARY_DIR}/test-output")
file(MAKE_DIRECTORY ${KM_TEST_OUTPUT_DIR})

# km_add_test(name SOURCES a.cpp ... LIBS lib ...): a GoogleTest program registered with ctest.
function(km_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} km_test_support gtest gtest_main)
  target_compile_definitions(${name} PRIVATE KM_TEST_DATA_DIR="${KM_TEST_DATA_DIR}"
    KM_DIST_DIR="${KM_DATA_PREFIX}${KM_DIST_DIR}" KM_TEST_OUTPUT_DIR="${KM_DATA_PREFIX}${KM_TEST_OUTPUT_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
endfunction()

# km_core_library(name DEPENDS lib ...): the portable core of the calling folder, every .cpp
# in it (a header-only folder gives an interface library), built natively and with MinGW.
function(km_core_library name)
  cmake_parse_arguments(C "" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    add_library(${name} STATIC ${sources})
    set(kind PUBLIC)
  else()
    add_library(${name} INTERFACE)
    set(kind INTERFACE)
  endif()
  target_include_directories(${name} ${kind} ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name} ${kind} framework_core ${C_DEPENDS})
endfunction()
