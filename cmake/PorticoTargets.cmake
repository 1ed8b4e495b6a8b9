# Per-target build settings shared by every Portico library and program.

# Warnings, and the sanitizers or fuzzing instrumentation when asked for.
function(portico_target_options target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(PORTICO_SANITIZE OR PORTICO_FUZZ)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
                                             -fno-sanitize-recover=undefined)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
  if(PORTICO_FUZZ)
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link)
  endif()
  # Windows programs, the tests' too, need no DLL beyond those Windows
  # ships (Wine has no C++ runtime DLLs to lend them).
  get_target_property(type ${target} TYPE)
  if(WIN32 AND type STREQUAL "EXECUTABLE")
    target_link_options(${target} PRIVATE -static)
  endif()
endfunction()

# A static library of Portico's whose headers are named from src/
# ("system/files.h"): portico_library(NAME SOURCES...).
function(portico_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  portico_target_options(${name})
endfunction()

# A header-only contract: portico_interface(NAME).
function(portico_interface name)
  add_library(${name} INTERFACE)
  target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
endfunction()

# A program of Portico's, put at the top of the build tree and, on Linux
# with PORTICO_STATIC_LIBS, linked with the C++ runtime inside.
function(portico_program name)
  add_executable(${name} ${ARGN})
  portico_target_options(${name})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
  if(PORTICO_STATIC_LIBS)
    target_link_options(${name} PRIVATE -static-libstdc++ -static-libgcc -Wl,--gc-sections
                                        -Wl,--as-needed -Wl,-O1)
  endif()
  if(WIN32)
    # Stripped when built for shipping.
    target_link_options(${name} PRIVATE $<$<CONFIG:Release,MinSizeRel>:-s>)
  endif()
endfunction()
