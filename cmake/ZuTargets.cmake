# Helpers that give every target of ours the same warnings and an include folder of its own.

set(ZU_WARNINGS -Wall -Wextra -Wpedantic -Wnon-virtual-dtor -Wno-missing-field-initializers -Werror)
# GCC 12 at -O3 (the Release build) reports overlapping copies inside std::string's operator+
# that cannot happen (GCC bug 105329); the warning is kept on for every other build.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_BUILD_TYPE STREQUAL "Release")
  list(APPEND ZU_WARNINGS -Wno-restrict)
endif()

# Every library is shared, so that the host and the FMR edit component it loads with dlopen
# use the one copy of each (one session, one command registry).
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

# Installed programs and libraries find the libraries in the installed lib folder, wherever
# the prefix is: bin/fmredit looks in ../lib, a library in its own folder.
set(CMAKE_INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")

# zu_include_folder(TARGET) gives the target an include folder of its own,
# build/include/TARGET, holding links to the headers of the calling folder under their path
# from the project root ("host/util/ZuString.h"). Code includes headers by that path, and a
# target sees only its own headers and those of the libraries it links publicly or directly:
# a layer cannot include a header of one it does not use. Tests include from the root.
function(zu_include_folder target)
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  set(root ${CMAKE_BINARY_DIR}/include/${target})
  file(REMOVE_RECURSE ${root})
  file(MAKE_DIRECTORY ${root}/${folder})
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  foreach(header ${headers})
    get_filename_component(name ${header} NAME)
    file(CREATE_LINK ${header} ${root}/${folder}/${name} SYMBOLIC)
  endforeach()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    target_include_directories(${target} PRIVATE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()

# zu_library(NAME) builds every .cpp of the calling folder into a shared library, installed
# in lib/.
function(zu_library name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${name} SHARED ${sources})
  zu_include_folder(${name})
  target_compile_options(${name} PRIVATE ${ZU_WARNINGS})
  install(TARGETS ${name} LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
endfunction()


# Where the build puts libzufmredit.so; the host looks there when the library is not next to
# the executable.
set(ZU_COMPONENT_DIR ${CMAKE_BINARY_DIR}/lib)
