# The OpenCL test reads its kernel source from the folder of the running executable, so every
# program that runs it gets a copy beside it.
set(VELMORA_KERNEL_SOURCE ${PROJECT_SOURCE_DIR}/kernels/SpeedReadWrite.cl)

function(velmora_place_kernel_beside target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${VELMORA_KERNEL_SOURCE} $<TARGET_FILE_DIR:${target}>
    COMMENT "Placing SpeedReadWrite.cl beside ${target}")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${VELMORA_KERNEL_SOURCE})
endfunction()
