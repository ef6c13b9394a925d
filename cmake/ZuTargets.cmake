# Helpers that give every target of ours the same warnings and include root.

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

# zu_library(NAME) builds every .cpp of the calling folder into a shared library, installed
# in lib/.
function(zu_library name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${name} SHARED ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${ZU_WARNINGS})
  install(TARGETS ${name} LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
endfunction()


# Where the build puts libzufmredit.so; the host looks there when the library is not next to
# the executable.
set(ZU_COMPONENT_DIR ${CMAKE_BINARY_DIR}/lib)
