# Shared build helpers. Every folder is one library whose sources are the
# files in it, so adding a unit never means editing a list. Includes name
# their folder from the project root, so only the root is an include path.

set(M2BUS_WARNINGS -Wall -Wextra)
if(M2BUS_WERROR)
  list(APPEND M2BUS_WARNINGS -Werror)
endif()

function(m2bus_warnings target)
  target_compile_options(${target} PRIVATE ${M2BUS_WARNINGS})
endfunction()

# Ninja reruns a target's moc/uic step only for the files it parsed last
# time; when the glob brings in a new file, drop the step's stamp so that it
# runs again.
function(m2bus_autogen_follows_sources target sources)
  string(SHA1 digest "${sources}")
  set(record ${CMAKE_CURRENT_BINARY_DIR}/${target}_autogen.sources)
  if(EXISTS ${record})
    file(READ ${record} previous)
    if(NOT previous STREQUAL digest)
      file(REMOVE ${CMAKE_CURRENT_BINARY_DIR}/${target}_autogen/timestamp)
    endif()
  endif()
  file(WRITE ${record} ${digest})
endfunction()

# m2bus_library(NAME [EXCLUDE file...] LINKS lib...)
# Collects *.cpp/*.h/*.ui/*.qrc of the current folder (not below it).
function(m2bus_library name)
  cmake_parse_arguments(ARG "" "" "EXCLUDE;LINKS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
       ${CMAKE_CURRENT_SOURCE_DIR}/*.ui ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  foreach(ex IN LISTS ARG_EXCLUDE)
    list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${ex})
  endforeach()
  set(cpp ${sources})
  list(FILTER cpp INCLUDE REGEX "\\.cpp$")
  if(cpp)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_LINKS})
    set_target_properties(${name} PROPERTIES AUTOUIC_SEARCH_PATHS ${CMAKE_CURRENT_SOURCE_DIR})
    m2bus_autogen_follows_sources(${name} "${sources}")
    m2bus_warnings(${name})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_LINKS})
  endif()
endfunction()
