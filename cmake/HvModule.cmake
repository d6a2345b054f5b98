# hv_core_module(NAME DEPENDS...): a static library made of every .cpp in the
# calling folder, plus a test executable of every tests/*_test.cpp beside it.
function(hv_core_module name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    set(sources ${PROJECT_SOURCE_DIR}/cmake/empty.cpp)
  endif()
  add_library(${name} STATIC ${sources})
  # The core is linked into libhalvorcore.so, which exports only what
  # platform/export.h marks; the tests link the static module directly.
  set_target_properties(${name} PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  if(ARGN)
    target_link_libraries(${name} PUBLIC ${ARGN})
  endif()
  if(HV_BUILD_TESTS)
    file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*_test.cpp)
    if(tests)
      add_executable(${name}_tests ${tests})
      target_link_libraries(${name}_tests PRIVATE ${name} hv_testsupport GTest::gtest_main)
      target_compile_definitions(${name}_tests PRIVATE
        HV_SOURCE_DIR="${PROJECT_SOURCE_DIR}" HV_BINARY_DIR="${PROJECT_BINARY_DIR}")
      gtest_discover_tests(${name}_tests DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "HV_BINARY_DIR=${PROJECT_BINARY_DIR}")
    endif()
  endif()
endfunction()
