# One library per folder of CORE_DIRS (lowest first): src/<folder>/ outside qt/ becomes
# cronovolta_<folder>, src/<folder>/qt/ becomes cronovolta_<folder>_qt. Each links only the
# layer below it, and the include directories follow the links: a library sees its own
# headers and those of the libraries it links, nothing else.
#
# src/ itself is never an include directory, since it would show every folder. Each library
# has an include root of its own in the build tree instead, holding links to its headers:
#   layers/<folder>/<folder>/*.h        -> src/<folder>/*.h (the core's headers, not qt/)
#   layers/<folder>_qt/<folder>/qt      -> src/<folder>/qt
# so "heat/heat_engine.h" is found from cronovolta_heat and above and is "No such file"
# below it. The roots are rebuilt at each configure; adding a header reconfigures through
# the CONFIGURE_DEPENDS globs. Where links cannot be made the files are copied, and a copy
# only follows its header at the next configure.

set(CRONOVOLTA_LAYERS_DIR ${CMAKE_BINARY_DIR}/layers)

function(_cronovolta_layer_sources dir qt out_sources out_headers)
  file(GLOB_RECURSE _all CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/src/${dir}/*.cpp ${CMAKE_SOURCE_DIR}/src/${dir}/*.h)
  if(qt)
    list(FILTER _all INCLUDE REGEX "^${CMAKE_SOURCE_DIR}/src/${dir}/qt/")
  else()
    list(FILTER _all EXCLUDE REGEX "^${CMAKE_SOURCE_DIR}/src/${dir}/qt/")
    list(FILTER _all EXCLUDE REGEX ${OTHER_SYSTEM_SOURCES})
  endif()
  set(_headers ${_all})
  list(FILTER _headers INCLUDE REGEX "\\.h$")
  set(${out_sources} ${_all} PARENT_SCOPE)
  set(${out_headers} ${_headers} PARENT_SCOPE)
endfunction()

function(_cronovolta_link from to)
  get_filename_component(_parent ${to} DIRECTORY)
  file(MAKE_DIRECTORY ${_parent})
  file(CREATE_LINK ${from} ${to} SYMBOLIC COPY_ON_ERROR)
endfunction()

# A library of a layer: STATIC when it has sources to build, INTERFACE when only headers.
function(_cronovolta_layer_library name sources root below)
  set(_cpp ${sources})
  list(FILTER _cpp INCLUDE REGEX "\\.cpp$")
  if(_cpp)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${root})
    target_link_libraries(${name} PUBLIC ${below})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${root})
    target_link_libraries(${name} INTERFACE ${below})
  endif()
endfunction()

# cronovolta_<folder> for each folder, and cronovolta_core linking them all.
function(cronovolta_core_layers)
  add_library(cronovolta_core INTERFACE)
  set(_below)
  foreach(dir ${CORE_DIRS})
    set(_root ${CRONOVOLTA_LAYERS_DIR}/${dir})
    file(REMOVE_RECURSE ${_root})
    _cronovolta_layer_sources(${dir} OFF _sources _headers)
    foreach(h ${_headers})
      file(RELATIVE_PATH _rel ${CMAKE_SOURCE_DIR}/src ${h})
      _cronovolta_link(${h} ${_root}/${_rel})
    endforeach()
    file(MAKE_DIRECTORY ${_root})
    _cronovolta_layer_library(cronovolta_${dir} "${_sources}" ${_root} "${_below}")
    target_link_libraries(cronovolta_core INTERFACE cronovolta_${dir})
    set(_below cronovolta_${dir})
  endforeach()
endfunction()

# cronovolta_<folder>_qt for each folder: its own core, and the qt/ layer below it (which
# brings the lower cores); cronovolta_qt links them all. Qt resources (*.qrc) of a folder go
# to its library.
function(cronovolta_qt_layers)
  add_library(cronovolta_qt INTERFACE)
  set(_below)
  foreach(dir ${CORE_DIRS})
    set(_root ${CRONOVOLTA_LAYERS_DIR}/${dir}_qt)
    file(REMOVE_RECURSE ${_root})
    _cronovolta_layer_sources(${dir} ON _sources _headers)
    file(GLOB_RECURSE _qrc CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${dir}/qt/*.qrc)
    if(EXISTS ${CMAKE_SOURCE_DIR}/src/${dir}/qt)
      _cronovolta_link(${CMAKE_SOURCE_DIR}/src/${dir}/qt ${_root}/${dir}/qt)
    endif()
    file(MAKE_DIRECTORY ${_root})
    _cronovolta_layer_library(cronovolta_${dir}_qt "${_sources};${_qrc}" ${_root}
      "cronovolta_${dir};${_below}")
    get_target_property(_type cronovolta_${dir}_qt TYPE)
    if(_type STREQUAL "STATIC_LIBRARY")
      set_target_properties(cronovolta_${dir}_qt PROPERTIES AUTOMOC ON AUTORCC ON)
    endif()
    target_link_libraries(cronovolta_qt INTERFACE cronovolta_${dir}_qt)
    set(_below cronovolta_${dir}_qt)
  endforeach()
endfunction()

# A library that includes a header of a higher layer must fail to build. Each probe is a
# source outside src/ built with one layer's usage requirements; the test builds it and
# passes only when the compiler says the climbing header is not there.
#   cronovolta_layer_probe(<test name> <library> <header it must not see>)
function(cronovolta_layer_probe name library header)
  # A header that is gone would pass for the wrong reason.
  if(NOT EXISTS ${CMAKE_SOURCE_DIR}/src/${header})
    message(FATAL_ERROR "layer probe ${name}: src/${header} does not exist")
  endif()
  set(_source ${CRONOVOLTA_LAYERS_DIR}/probes/${name}.cpp)
  file(CONFIGURE OUTPUT ${_source} CONTENT "#include \"${header}\"\n")
  add_library(${name} OBJECT EXCLUDE_FROM_ALL ${_source})
  target_link_libraries(${name} PRIVATE ${library})
  add_test(NAME ${name}
    COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target ${name} --config $<CONFIG>)
  string(REPLACE "." "\\." _header_regex ${header})
  # GCC: "<header>: No such file or directory"; clang: "'<header>' file not found".
  set_tests_properties(${name} PROPERTIES
    PASS_REGULAR_EXPRESSION "${_header_regex}'?: No such file|'${_header_regex}' file not found"
    RESOURCE_LOCK cronovolta_build_tree # one build tool at a time in the build tree
    TIMEOUT 120)
endfunction()
