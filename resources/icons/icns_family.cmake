# Runs png2icns quietly (it reports every picture it reads) and removes a partial output on error.
# Called as: cmake -DPNG2ICNS=<tool> -DOUTPUT=<file.icns> -DINPUTS=<png;png;...> -P icns_family.cmake
get_filename_component(out_dir ${OUTPUT} DIRECTORY)
file(MAKE_DIRECTORY ${out_dir})
execute_process(COMMAND ${PNG2ICNS} ${OUTPUT} ${INPUTS}
  RESULT_VARIABLE result OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(NOT result EQUAL 0)
  file(REMOVE ${OUTPUT})
  message(FATAL_ERROR "png2icns failed for ${OUTPUT}:\n${log}")
endif()
