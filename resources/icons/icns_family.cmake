# Runs png2icns quietly (it reports every picture it reads) and removes a partial output on error.
# Called as: cmake -DPNG2ICNS=<tool> -DOUTPUT=<file.icns> -DINPUTS=<png;png;...> -P icns_family.cmake
get_filename_component(out_dir ${OUTPUT} DIRECTORY)
file(MAKE_DIRECTORY ${out_dir})
file(REMOVE ${OUTPUT})
execute_process(COMMAND ${PNG2ICNS} ${OUTPUT} ${INPUTS}
  RESULT_VARIABLE result OUTPUT_VARIABLE log ERROR_VARIABLE log)

# A family is whole when it starts with 'icns' and its big-endian length is the file's size.
set(whole FALSE)
if(EXISTS ${OUTPUT})
  file(SIZE ${OUTPUT} size)
  file(READ ${OUTPUT} header LIMIT 8 HEX)
  string(SUBSTRING "${header}" 0 8 tag)
  if(size EQUAL 8 OR size GREATER 8)
    string(SUBSTRING "${header}" 8 8 length_hex)
    math(EXPR length "0x${length_hex}")
    if(tag STREQUAL "69636e73" AND length EQUAL size)
      set(whole TRUE)
    endif()
  endif()
endif()

# libicns writes the file in 1 KiB blocks and reports a failure when the family's size is an
# exact multiple of 1 KiB, after having written it all: accept such a file when it is whole.
if(NOT result EQUAL 0 AND whole AND log MATCHES "Error writing icns to file")
  math(EXPR rest "${size} % 1024")
  if(rest EQUAL 0)
    set(result 0)
  endif()
endif()

if(NOT result EQUAL 0 OR NOT whole)
  file(REMOVE ${OUTPUT})
  message(FATAL_ERROR "png2icns failed for ${OUTPUT}:\n${log}")
endif()
