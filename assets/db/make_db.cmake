# Makes a database file from the schema.
#   -DSQLITE3=<sqlite3 tool> -DSCHEMA=<schema.sql> -DOUT=<file> [-DKEEP=ON]
# With KEEP, an existing file is left as it is (it holds the user's data).
# The file is built beside its place and renamed into it, so an interrupted run
# never leaves half a database behind.
if(KEEP AND EXISTS "${OUT}")
  return()
endif()
get_filename_component(dir "${OUT}" DIRECTORY)
file(MAKE_DIRECTORY "${dir}")
set(tmp "${OUT}.new")
file(REMOVE "${tmp}" "${tmp}-wal" "${tmp}-shm")
execute_process(COMMAND "${SQLITE3}" -bail "${tmp}"
  INPUT_FILE "${SCHEMA}"
  RESULT_VARIABLE rc
  OUTPUT_QUIET
  ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  file(REMOVE "${tmp}")
  message(FATAL_ERROR "making ${OUT} from ${SCHEMA} failed: ${err}")
endif()
file(RENAME "${tmp}" "${OUT}")
