# zr_compile_chm(<target> <output.chm> <folder> <project.hhp> <files...>): compiles a help
# project with chmcmd. The project and its files (paths relative to <folder>, subfolders
# kept) are copied to a work folder first, so that nothing is written into the source tree.
find_program(CHMCMD chmcmd REQUIRED)

function(zr_compile_chm target output folder project)
  set(work ${CMAKE_CURRENT_BINARY_DIR}/${target}-src)
  set(copies)
  foreach(file ${project} ${ARGN})
    list(APPEND copies COMMAND ${CMAKE_COMMAND} -E copy ${folder}/${file} ${work}/${file})
    list(APPEND inputs ${folder}/${file})
  endforeach()
  get_filename_component(compiled ${project} NAME_WE)
  get_filename_component(output_dir ${output} DIRECTORY)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${work}
    ${copies}
    COMMAND ${CMAKE_COMMAND} -E chdir ${work} ${CHMCMD} --verbosity 0 ${project}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${output_dir}
    COMMAND ${CMAKE_COMMAND} -E copy ${work}/${compiled}.chm ${output}
    DEPENDS ${inputs}
    COMMENT "Compiling the help file ${output}")
  add_custom_target(${target} ALL DEPENDS ${output})
endfunction()
