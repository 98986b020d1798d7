# Makes a document from its template and the pieces that velmora_document_facts writes (the tests'
# names and descriptions, the options, the settings' limits), and gzips it for a man page.
#
# cmake -DFACTS=program -DPIECES=folder -DTEMPLATE=in -DOUTPUT=out [-DCOMPRESS=ON] [-DNAME=VALUE...] -P this file
# Besides the pieces, the template may name any variable passed with -D (the version, the date).

file(MAKE_DIRECTORY ${PIECES})
execute_process(COMMAND ${FACTS} --into ${PIECES} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${FACTS} failed: ${status}")
endif()

# Each piece whole, as one value: its semicolons and brackets are text, not a CMake list.
file(GLOB pieces RELATIVE ${PIECES} ${PIECES}/*)
foreach(piece IN LISTS pieces)
  file(READ ${PIECES}/${piece} value)
  string(REGEX REPLACE "\n$" "" value "${value}")
  set(${piece} "${value}")
endforeach()

configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
if(COMPRESS)
  # -n: no name or time stamp inside, so that the same page gives the same bytes.
  execute_process(COMMAND gzip -9n -c ${OUTPUT} OUTPUT_FILE ${OUTPUT}.gz RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip ${OUTPUT} failed: ${status}")
  endif()
endif()
