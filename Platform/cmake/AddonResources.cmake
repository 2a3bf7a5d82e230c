# addon_resources(TARGET FILE...): builds text resource files (string lists, dialogs; format in
# Platform/README.md) into an add-on module. The files become byte arrays in a generated source that
# exports GetModuleResources, which the host looks up with dlsym when it loads the module.
function(addon_resources target)
    # The function's own folder: callers live in other directories, where this file's variables are not seen.
    set(script ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/EmbedResources.cmake)
    if(NOT ARGN)
        message(FATAL_ERROR "addon_resources(${target}): no resource files given")
    endif()
    set(files)
    foreach(file ${ARGN})
        get_filename_component(path ${file} ABSOLUTE)
        list(APPEND files ${path})
    endforeach()
    # '|' separates the files on the command line, where ';' would split the argument.
    string(REPLACE ";" "|" joined "${files}")
    set(output ${CMAKE_CURRENT_BINARY_DIR}/${target}Resources.cpp)
    add_custom_command(OUTPUT ${output}
                       COMMAND ${CMAKE_COMMAND} -DOUTPUT=${output} -DFILES=${joined} -P ${script}
                       DEPENDS ${files} ${script}
                       COMMENT "Building the resources into ${target}"
                       VERBATIM)
    target_sources(${target} PRIVATE ${output})
endfunction()
