# Shared build helpers. Every folder is one library whose sources are the
# files in it, so adding a unit never means editing a list.

set(M2BUS_WARNINGS -Wall -Wextra -Werror)

function(m2bus_warnings target)
  target_compile_options(${target} PRIVATE ${M2BUS_WARNINGS})
endfunction()

# Ninja's autogen step only reruns for the files it saw last time; a file that
# the glob brings in later must make moc and uic run again.
function(m2bus_autogen_follows_sources target sources)
  set_property(TARGET ${target} APPEND PROPERTY AUTOGEN_TARGET_DEPENDS ${sources})
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
    target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_LINKS})
    set_target_properties(${name} PROPERTIES AUTOUIC_SEARCH_PATHS ${CMAKE_CURRENT_SOURCE_DIR})
    m2bus_autogen_follows_sources(${name} "${sources}")
    m2bus_warnings(${name})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_CURRENT_SOURCE_DIR} ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_LINKS})
  endif()
endfunction()
