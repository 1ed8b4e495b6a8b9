# The libraries Portico links, each an imported target named portico::NAME.
# On Linux they come from pkg-config; with PORTICO_STATIC_LIBS each gets its
# static archives in the order pkg-config's static link flags give them, so
# no list of archives is kept by hand. The Windows cross build finds the
# static libraries scripts/build-windows.sh made.

# portico_pkg_static(PREFIX): the static archives for the libraries that
# pkg_check_modules(PREFIX ...) found, as one link item list. The C
# library's own parts stay shared: only the launcher links all statically.
function(portico_pkg_static prefix out)
  set(items)
  foreach(name IN LISTS ${prefix}_STATIC_LIBRARIES)
    if(name MATCHES "^(c|m|dl|pthread|rt)$")
      list(APPEND items ${name})
      continue()
    endif()
    string(MAKE_C_IDENTIFIER "${name}" id)
    find_library(PORTICO_STATIC_${id} NAMES lib${name}.a HINTS ${${prefix}_STATIC_LIBRARY_DIRS} REQUIRED)
    list(APPEND items ${PORTICO_STATIC_${id}})
  endforeach()
  set(${out} ${items} PARENT_SCOPE)
endfunction()

# portico_pkg(NAME MODULE...): portico::NAME from pkg-config modules.
function(portico_pkg name)
  pkg_check_modules(PORTICO_PKG_${name} REQUIRED ${ARGN})
  add_library(portico::${name} INTERFACE IMPORTED GLOBAL)
  if(PORTICO_STATIC_LIBS)
    portico_pkg_static(PORTICO_PKG_${name} items)
    target_include_directories(portico::${name} INTERFACE ${PORTICO_PKG_${name}_STATIC_INCLUDE_DIRS})
    target_compile_options(portico::${name} INTERFACE ${PORTICO_PKG_${name}_STATIC_CFLAGS_OTHER})
    # Archives that need each other are searched again until nothing is
    # left unresolved, whatever order pkg-config gave.
    target_link_libraries(portico::${name} INTERFACE "$<LINK_GROUP:RESCAN,${items}>")
  else()
    target_include_directories(portico::${name} INTERFACE ${PORTICO_PKG_${name}_INCLUDE_DIRS})
    target_compile_options(portico::${name} INTERFACE ${PORTICO_PKG_${name}_CFLAGS_OTHER})
    target_link_directories(portico::${name} INTERFACE ${PORTICO_PKG_${name}_LIBRARY_DIRS})
    target_link_libraries(portico::${name} INTERFACE ${PORTICO_PKG_${name}_LIBRARIES})
  endif()
endfunction()

if(WIN32)
  find_package(JPEG REQUIRED)
  add_library(portico::jpeg INTERFACE IMPORTED GLOBAL)
  target_link_libraries(portico::jpeg INTERFACE JPEG::JPEG)
  # zlib's static library, not its import library: no zlib1.dll to ship.
  set(ZLIB_USE_STATIC_LIBS ON)
  # The image decoders read PNG files: portico.exe links libpng too.
  find_package(PNG REQUIRED)
  if(PNG_FOUND)
    add_library(portico::png INTERFACE IMPORTED GLOBAL)
    target_link_libraries(portico::png INTERFACE PNG::PNG)
  endif()
  # Built on Linux, the Windows programs run under Wine (CTest uses this).
  if(CMAKE_HOST_UNIX AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh ${PROJECT_BINARY_DIR}/wine)
  endif()
else()
  find_package(PkgConfig REQUIRED)
  portico_pkg(jpeg libjpeg)
  portico_pkg(png libpng)
  # The PNG tests write chunk checksums of their own.
  portico_pkg(zlib zlib)
  portico_pkg(freetype freetype2)
  portico_pkg(fontconfig fontconfig)
  portico_pkg(x11 x11 xext)
  # The monitors: RandR 1.5, else Xinerama.
  portico_pkg(x11_monitors xrandr xinerama)
  # libdbus-1 for AT-SPI. Its static link flags name libsystemd, which
  # Debian ships no archive of and which a D-Bus client never calls:
  # access/atspi/atspi_no_systemd.c stands in for the two functions the
  # archive refers to.
  if(PORTICO_STATIC_LIBS)
    pkg_check_modules(PORTICO_PKG_dbus REQUIRED dbus-1)
    find_library(PORTICO_STATIC_dbus_1 NAMES libdbus-1.a HINTS ${PORTICO_PKG_dbus_STATIC_LIBRARY_DIRS} REQUIRED)
    add_library(portico_dbus_no_systemd OBJECT ${PROJECT_SOURCE_DIR}/src/access/atspi/atspi_no_systemd.c)
    add_library(portico::dbus INTERFACE IMPORTED GLOBAL)
    target_include_directories(portico::dbus INTERFACE ${PORTICO_PKG_dbus_STATIC_INCLUDE_DIRS})
    target_link_libraries(portico::dbus INTERFACE ${PORTICO_STATIC_dbus_1} $<TARGET_OBJECTS:portico_dbus_no_systemd>)
  else()
    portico_pkg(dbus dbus-1)
  endif()
endif()
