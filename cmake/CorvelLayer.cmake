# corvel_layer(NAME DEPS...): one static library per folder of src/, holding every .cpp of that
# folder, built with the project's flags (corvel::flags); a layer links only the layers it may use.
function(corvel_layer name)
  file(GLOB_RECURSE _sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(GLOB_RECURSE _headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(_sources)
    add_library(corvel_${name} STATIC ${_sources} ${_headers})
    target_include_directories(corvel_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(corvel_${name} PUBLIC ${ARGN} PRIVATE corvel::flags)
  else()
    add_library(corvel_${name} INTERFACE)
    target_include_directories(corvel_${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(corvel_${name} INTERFACE ${ARGN})
  endif()
  add_library(corvel::${name} ALIAS corvel_${name})
endfunction()

# corvel_test(NAME SOURCES... LIBS ...): one GoogleTest executable, its cases registered with CTest.
function(corvel_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock corvel::flags)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  # A case that hangs (a window waiting for an answer) fails after two minutes instead of holding CI.
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;CORVEL_SOURCE_DIR=${PROJECT_SOURCE_DIR}" TIMEOUT 120)
endfunction()
