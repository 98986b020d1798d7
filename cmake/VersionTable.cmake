# velmora_embed_version_table(<target>
#   [VERSION <major[.minor[.patch[.tweak]]]>]   file version; default: the project's version
#   [TRANSLATION <language> <code page>]        four hex digits each; default: 0409 04E4
#   [ORIGINAL_FILENAME <name>]                  default: the target's file name
# )
#
# Generates a source that holds the program's version table (util/VersionTable.h) in the section
# ".velmora.version" and adds it to <target>, so that ReadEXEVersionData finds the table in the
# built file. FileVersion is the version as four dotted numbers, ProductVersion its first two;
# the fixed part carries the same numbers (product version padded with zeros). Comments,
# PrivateBuild and SpecialBuild are left out.

function(velmora_embed_version_table target)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "VERSION;ORIGINAL_FILENAME" "TRANSLATION")
  if(ARG_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "velmora_embed_version_table: unknown arguments: ${ARG_UNPARSED_ARGUMENTS}")
  endif()

  if(NOT DEFINED ARG_VERSION)
    set(ARG_VERSION "${PROJECT_VERSION}")
  endif()
  if(NOT ARG_VERSION MATCHES "^[0-9]+(\\.[0-9]+)?(\\.[0-9]+)?(\\.[0-9]+)?$")
    message(FATAL_ERROR "velmora_embed_version_table: \"${ARG_VERSION}\" is not a version of one to four numbers")
  endif()
  string(REPLACE "." ";" numbers "${ARG_VERSION}")
  list(LENGTH numbers count)
  while(count LESS 4)
    list(APPEND numbers 0)
    math(EXPR count "${count} + 1")
  endwhile()
  set(file_numbers "")
  foreach(number IN LISTS numbers)
    # The fixed part keeps each number in 16 bits; "007" would also read as octal in C++.
    math(EXPR number "${number}")
    if(number GREATER 65535)
      message(FATAL_ERROR "velmora_embed_version_table: ${number} in \"${ARG_VERSION}\" is above 65535")
    endif()
    list(APPEND file_numbers ${number})
  endforeach()
  list(GET file_numbers 0 major)
  list(GET file_numbers 1 minor)
  list(JOIN file_numbers "." file_version)
  list(JOIN file_numbers ", " file_version_list)
  set(product_version "${major}.${minor}")
  set(product_version_list "${major}, ${minor}, 0, 0")

  if(NOT DEFINED ARG_TRANSLATION)
    set(ARG_TRANSLATION 0409 04E4)
  endif()
  list(LENGTH ARG_TRANSLATION count)
  if(NOT count EQUAL 2)
    message(FATAL_ERROR "velmora_embed_version_table: TRANSLATION takes a language and a code page")
  endif()
  list(GET ARG_TRANSLATION 0 language)
  list(GET ARG_TRANSLATION 1 code_page)
  foreach(part IN ITEMS "${language}" "${code_page}")
    if(NOT part MATCHES "^[0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f]$")
      message(FATAL_ERROR "velmora_embed_version_table: \"${part}\" is not four hex digits")
    endif()
  endforeach()
  string(TOUPPER "${language}${code_page}" key)

  if(DEFINED ARG_ORIGINAL_FILENAME)
    set(original_filename "${ARG_ORIGINAL_FILENAME}")
  else()
    set(original_filename "$<TARGET_FILE_NAME:${target}>")
  endif()

  set(strings
    CompanyName "Quobix"
    FileDescription "Velmora"
    FileVersion "${file_version}"
    InternalName "Velmora"
    LegalCopyright "(c) 2025-2026 Quobix"
    LegalTrademarks "Velmora is a trademark of Quobix"
    OriginalFilename "${original_filename}"
    ProductName "Velmora"
    ProductVersion "${product_version}"
  )
  set(string_entries "")
  while(strings)
    list(POP_FRONT strings name value)
    string(REPLACE "\\" "\\\\" value "${value}")
    string(REPLACE "\"" "\\\"" value "${value}")
    string(APPEND string_entries "    {\"\\\\StringFileInfo\\\\${key}\\\\${name}\", \"${value}\"},\n")
  endwhile()

  set(template_file ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/VersionTable.cpp.in)
  # file(READ) alone would not make an edited template regenerate the sources.
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${template_file})
  file(READ ${template_file} template)
  string(CONFIGURE "${template}" source @ONLY)
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${target}_version_table.cpp)
  # GENERATE rather than WRITE: the default original file name is only known at generation time.
  file(GENERATE OUTPUT ${output} CONTENT "${source}")
  target_sources(${target} PRIVATE ${output})
  target_include_directories(${target} PRIVATE $<TARGET_PROPERTY:velmora_util,INTERFACE_INCLUDE_DIRECTORIES>)
endfunction()
