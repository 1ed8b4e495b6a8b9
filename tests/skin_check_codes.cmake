# Every finding code portico-skin check can give is in the README's table
# of codes and the manual page, and every code in the table is one it gives. The codes are the first
# lower-case string literal of each out.Warn / out.Error / out.Note call in
# src/skintool; the table's rows are those with a severity column.
#   cmake -DSOURCE_DIR=... -P skin_check_codes.cmake
file(GLOB sources "${SOURCE_DIR}/src/skintool/*.cpp")
set(in_code "")
foreach(source ${sources})
  file(READ "${source}" text)
  # Skipped on the way: characters other than quotes, and literals that
  # do not start with a lower-case letter ("SCREEN", "Alpha").
  string(REGEX MATCHALL "out_?\\.(Warn|Error|Note)\\(([^\";]|\"[^a-z\";][^\";]*\")*\"[a-z]+(-[a-z]+)*\""
         calls "${text}")
  foreach(call ${calls})
    string(REGEX REPLACE ".*\"([a-z]+(-[a-z]+)*)\"$" "\\1" code "${call}")
    list(APPEND in_code "${code}")
  endforeach()
endforeach()
list(REMOVE_DUPLICATES in_code)

file(STRINGS "${SOURCE_DIR}/README.md" rows REGEX "^ *\\| `[a-z].*\\| (warning|error|note) \\|")
set(in_readme "")
foreach(row ${rows})
  if(NOT row MATCHES "^ *\\| `")
    continue()  # the rest of a row a semicolon split
  endif()
  string(REGEX REPLACE "^ *\\|([^|]*)\\|.*" "\\1" names "${row}")
  string(REGEX MATCHALL "`[a-z]+(-[a-z]+)*`" quoted "${names}")
  foreach(q ${quoted})
    string(REPLACE "`" "" code "${q}")
    list(APPEND in_readme "${code}")
  endforeach()
endforeach()

set(missing "${in_code}")
list(REMOVE_ITEM missing ${in_readme})
set(unknown "${in_readme}")
list(REMOVE_ITEM unknown ${in_code})
list(LENGTH in_code count)
if(count LESS 30)
  message(FATAL_ERROR "only ${count} codes found in src/skintool: the pattern no longer matches the calls")
endif()
if(missing OR unknown)
  message(FATAL_ERROR "README's table of codes and the code disagree:\n"
                      "  given by check but not in the table: ${missing}\n"
                      "  in the table but never given: ${unknown}")
endif()
# The manual page lists the same codes.
file(READ "${SOURCE_DIR}/docs/man/portico-skin.1.in" man)
string(REGEX MATCHALL "\n\\.BR [a-z]+(\\\\-[a-z]+)* [,.]" entries "${man}")
set(in_man "")
foreach(entry ${entries})
  string(REGEX REPLACE "\n\\.BR ([^ ]*) .*" "\\1" code "${entry}")
  string(REPLACE "\\-" "-" code "${code}")
  list(APPEND in_man "${code}")
endforeach()
set(man_missing "${in_code}")
list(REMOVE_ITEM man_missing ${in_man})
if(man_missing)
  message(FATAL_ERROR "docs/man/portico-skin.1.in lists no ${man_missing}")
endif()
message(STATUS "${count} finding codes, all in the README's table and the manual page")
