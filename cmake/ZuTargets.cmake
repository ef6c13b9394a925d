# Helpers that give every target of ours the same warnings and include root.

set(ZU_WARNINGS -Wall -Wextra -Wpedantic -Wnon-virtual-dtor -Wno-missing-field-initializers -Werror)

# zu_library(NAME) builds every .cpp of the calling folder into a static library.
function(zu_library name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${ZU_WARNINGS})
endfunction()

