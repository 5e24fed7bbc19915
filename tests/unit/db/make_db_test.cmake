# The rule that makes Data/eye.mdb: makes a missing file from the schema, and
# leaves an existing one (with the user's data) exactly as it is.
#   -DSQLITE3=<tool> -DSCHEMA=<schema.sql> -DSCRIPT=<make_db.cmake> -DWORK=<folder>
file(REMOVE_RECURSE "${WORK}")
set(db "${WORK}/bin/Data/eye.mdb")
macro(make_db)
  execute_process(COMMAND "${CMAKE_COMMAND}" "-DSQLITE3=${SQLITE3}" "-DSCHEMA=${SCHEMA}"
    "-DOUT=${db}" -DKEEP=ON -P "${SCRIPT}" RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "the rule failed")
  endif()
endmacro()
macro(query sql var)
  execute_process(COMMAND "${SQLITE3}" "${db}" "${sql}" OUTPUT_VARIABLE ${var}
    OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "query failed: ${sql}")
  endif()
endmacro()

make_db()
query("select count(*) from Setting; select count(*) from Stat; pragma journal_mode" made)
if(NOT made STREQUAL "1\n0\nwal")
  message(FATAL_ERROR "a new file holds: ${made}")
endif()
if(EXISTS "${db}.new")
  message(FATAL_ERROR "the temporary file was left behind")
endif()

query("update Setting set Age='老年'; insert into Stat (Date) values ('2024-01-05 08:00:00')" x)
make_db()
query("select Age from Setting; select count(*) from Stat" kept)
if(NOT kept STREQUAL "老年\n1")
  message(FATAL_ERROR "an existing file was overwritten: ${kept}")
endif()
file(REMOVE_RECURSE "${WORK}")
