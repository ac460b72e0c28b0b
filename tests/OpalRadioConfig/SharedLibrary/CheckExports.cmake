# Compares the dynamic symbols that LIBRARY defines (demangled, one per name) with the list in
# EXPECTED. Run with: cmake -DLIBRARY=<lib> -DEXPECTED=<file> -P CheckExports.cmake
execute_process(COMMAND nm -D --defined-only -C ${LIBRARY}
  OUTPUT_VARIABLE nm_output RESULT_VARIABLE nm_result)
if(NOT nm_result EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()

string(REPLACE "\n" ";" nm_lines "${nm_output}")
set(actual)
foreach(line IN LISTS nm_lines)
  # "<address> <type> <name>"; the name may contain blanks.
  if(line MATCHES "^[0-9a-fA-F]+ [A-Za-z] (.+)$")
    list(APPEND actual "${CMAKE_MATCH_1}")
  endif()
endforeach()
list(REMOVE_DUPLICATES actual)
list(SORT actual)

file(STRINGS ${EXPECTED} expected)
list(FILTER expected EXCLUDE REGEX "^#")
list(SORT expected)

set(unexpected ${actual})
list(REMOVE_ITEM unexpected ${expected})
set(missing ${expected})
list(REMOVE_ITEM missing ${actual})
if(unexpected OR missing)
  list(JOIN unexpected "\n  " unexpected_text)
  list(JOIN missing "\n  " missing_text)
  message(FATAL_ERROR "Exported symbols differ from ${EXPECTED}\n"
                      "Exported but not listed:\n  ${unexpected_text}\n"
                      "Listed but not exported:\n  ${missing_text}")
endif()
message(STATUS "exports match (${EXPECTED})")
