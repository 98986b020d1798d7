# Makes a document from its template and the facts that velmora_document_facts prints (the tests'
# names and descriptions, the settings' limits), and gzips it for a man page.
#
# cmake -DFACTS=program -DTEMPLATE=in -DOUTPUT=out [-DCOMPRESS=ON] [-DNAME=VALUE...] -P this file
# Besides the facts, the template may name any variable passed with -D (the version, the date).

execute_process(COMMAND ${FACTS} OUTPUT_VARIABLE facts RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${FACTS} failed: ${status}")
endif()

set(TEST_NAMES "")       # for the completion: gfx-write gfx-read ...
set(MAN_TEST_LIST "")    # for the man page: one tagged paragraph a test
string(REPLACE "\n" ";" lines "${facts}")
foreach(line IN LISTS lines)
  if(line MATCHES "^TEST=([^\t]+)\t(.*)$")
    string(APPEND TEST_NAMES " ${CMAKE_MATCH_1}")
    string(REPLACE "-" "\\-" roff_name "${CMAKE_MATCH_1}")
    # "the processor writes ..." becomes the sentence "The processor writes ...".
    string(SUBSTRING "${CMAKE_MATCH_2}" 0 1 first)
    string(SUBSTRING "${CMAKE_MATCH_2}" 1 -1 rest)
    string(TOUPPER "${first}" first)
    string(APPEND MAN_TEST_LIST ".TP 12\n.B ${roff_name}\n${first}${rest}.\n")
  elseif(line MATCHES "^([A-Z_]+)=(.*)$")
    set(${CMAKE_MATCH_1} "${CMAKE_MATCH_2}")
  endif()
endforeach()
string(STRIP "${TEST_NAMES}" TEST_NAMES)
string(STRIP "${MAN_TEST_LIST}" MAN_TEST_LIST)

configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
if(COMPRESS)
  # -n: no name or time stamp inside, so that the same page gives the same bytes.
  execute_process(COMMAND gzip -9n -c ${OUTPUT} OUTPUT_FILE ${OUTPUT}.gz RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip ${OUTPUT} failed: ${status}")
  endif()
endif()
