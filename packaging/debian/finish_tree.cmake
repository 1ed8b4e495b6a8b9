# Run by CPack (CPACK_PRE_BUILD_SCRIPTS) on the staged install tree before
# it becomes the .deb: Debian wants manual pages and the changelog
# compressed (gzip -9n: no name or time inside, so the same bytes each
# time) and reads lintian's overrides from the package.
set(root ${CPACK_TEMPORARY_INSTALL_DIRECTORY})
if(NOT EXISTS ${root}/usr/bin)
  message(FATAL_ERROR "finish_tree: no usr/bin in ${root}")
endif()
set(source ${CPACK_PORTICO_SOURCE_DIR}/packaging/debian)
set(doc ${root}/usr/share/doc/portico)

function(gzip_in_place file)
  execute_process(COMMAND gzip -9nf ${file} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "finish_tree: gzip ${file} failed")
  endif()
endfunction()

file(GLOB pages ${root}/usr/share/man/man1/*.1)
foreach(page IN LISTS pages)
  gzip_in_place(${page})
endforeach()

# The changelog's date is the release's (SOURCE_DATE_EPOCH, which
# string(TIMESTAMP) follows).
string(TIMESTAMP DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
set(VERSION ${CPACK_PACKAGE_VERSION})
set(MAINTAINER ${CPACK_DEBIAN_PACKAGE_MAINTAINER})
configure_file(${source}/changelog.in ${doc}/changelog @ONLY)
gzip_in_place(${doc}/changelog)

configure_file(${source}/lintian-overrides ${root}/usr/share/lintian/overrides/portico COPYONLY)
