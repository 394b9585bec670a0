# Qt's meta-object compiler runs only on targets that link Qt (directly or
# through a Qt library of ours), so headless code never meets it.
function(zelto_moc_if_qt target)
  foreach(dep ${ARGN})
    if(dep MATCHES "^Qt6::" OR dep MATCHES "_qt$" OR dep MATCHES "^zelto_(viewer|app)")
      set_target_properties(${target} PROPERTIES AUTOMOC ON)
      return()
    endif()
  endforeach()
endfunction()

# zelto_add_library(<name> [DIR <dir>] [DEPS <targets>...])
# One library from every .cpp in the folder (not recursing); an interface
# library while the folder holds no source yet.
function(zelto_add_library name)
  cmake_parse_arguments(ARG "" "DIR" "DEPS" ${ARGN})
  if(NOT ARG_DIR)
    set(ARG_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  file(GLOB srcs CONFIGURE_DEPENDS ${ARG_DIR}/*.cpp)
  file(GLOB hdrs CONFIGURE_DEPENDS ${ARG_DIR}/*.h)
  if(srcs)
    add_library(${name} STATIC ${srcs} ${hdrs})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    zelto_moc_if_qt(${name} ${ARG_DEPS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# zelto_add_tests(<label> [DIR <dir>] DEPS <targets>...)
# One GoogleTest executable from every .cpp in the folder; each test case
# becomes a CTest test carrying the label.
function(zelto_add_tests label)
  cmake_parse_arguments(ARG "" "DIR" "DEPS" ${ARGN})
  if(NOT ARG_DIR)
    set(ARG_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  file(GLOB srcs CONFIGURE_DEPENDS ${ARG_DIR}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  find_package(GTest REQUIRED)
  include(GoogleTest)
  set(exe test_${label})
  add_executable(${exe} ${srcs})
  target_link_libraries(${exe} PRIVATE ${ARG_DEPS} zelto_test_support)
  target_compile_definitions(${exe} PRIVATE ZELTO_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                                            ZELTO_BINARY_DIR="${PROJECT_BINARY_DIR}")
  zelto_moc_if_qt(${exe} ${ARG_DEPS})
  gtest_discover_tests(${exe}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES LABELS ${label} ENVIRONMENT "QT_QPA_PLATFORM=offscreen" FIXTURES_REQUIRED trees_unchanged)
endfunction()
