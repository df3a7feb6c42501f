# Windows modules built for the stand-in layer: shared libraries with .dll
# names whose exports come from a .def file, and resource scripts compiled
# into .res files that the layer's loader reads.

find_program(TAM_WINDRES NAMES x86_64-w64-mingw32-windres windres)
if(NOT TAM_WINDRES)
    message(FATAL_ERROR "windres not found: install Debian's binutils-mingw-w64-x86-64")
endif()
# windres runs the C preprocessor on a script; there is no mingw compiler, so
# name the host's.
find_program(TAM_RC_PREPROCESSOR NAMES cpp)
if(NOT TAM_RC_PREPROCESSOR)
    message(FATAL_ERROR "cpp not found: windres needs a C preprocessor")
endif()
set(TAM_MODULE_DEF_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/TamModuleDef.cmake)

# tam_resources(NAME SCRIPT.rc [OUTPUT BASENAME] [DEPENDS FILE...] [INCLUDE_DIRS DIR...])
# Compiles a resource script into <bin>/<BASENAME>.res (BASENAME defaults to
# NAME) through the target NAME_res. When a target NAME exists, it depends on
# the .res. The script is UTF-8; it is preprocessed with RC_INVOKED defined
# and win32/include on the include path (windows.h, winresrc.h, winres.h), and
# rebuilt when a header it includes changes. Files a script names (bitmaps,
# icons, data) are found beside the script; list them in DEPENDS so that a
# change to them rebuilds the .res. INCLUDE_DIRS are searched after the
# script's folder, for the scripts and files it includes from elsewhere.
function(tam_resources name script)
    cmake_parse_arguments(ARG "" "OUTPUT" "DEPENDS;INCLUDE_DIRS" ${ARGN})
    if(NOT ARG_OUTPUT)
        set(ARG_OUTPUT ${name})
    endif()
    get_filename_component(script ${script} ABSOLUTE)
    get_filename_component(script_dir ${script} DIRECTORY)
    set(output ${CMAKE_LIBRARY_OUTPUT_DIRECTORY}/${ARG_OUTPUT}.res)
    set(depfile ${CMAKE_CURRENT_BINARY_DIR}/${ARG_OUTPUT}.res.d)
    set(include_args)
    foreach(dir ${ARG_INCLUDE_DIRS})
        list(APPEND include_args -I ${dir})
    endforeach()
    add_custom_command(
        OUTPUT ${output}
        COMMAND ${TAM_WINDRES}
                --preprocessor=${TAM_RC_PREPROCESSOR}
                --preprocessor-arg=-xc
                --preprocessor-arg=-undef
                --preprocessor-arg=-DRC_INVOKED
                --preprocessor-arg=-MD
                --preprocessor-arg=-MF --preprocessor-arg=${depfile}
                --preprocessor-arg=-MT --preprocessor-arg=${output}
                --codepage=65001
                -I ${script_dir}
                ${include_args}
                -I ${CMAKE_SOURCE_DIR}/win32/include
                -O res -i ${script} -o ${output}
        DEPENDS ${script} ${ARG_DEPENDS}
        DEPFILE ${depfile}
        WORKING_DIRECTORY ${script_dir}
        COMMENT "Compiling resources ${ARG_OUTPUT}.res"
        VERBATIM)
    add_custom_target(${name}_res ALL DEPENDS ${output})
    if(TARGET ${name})
        add_dependencies(${name} ${name}_res)
    endif()
endfunction()

# tam_module(TARGET DEF file.def [ENTRY symbol] [RESOURCES file.rc]
#            [OUTPUT_NAME name] [SOURCES file...] [LIBS lib...]
#            [RESOURCE_DEPENDS file...])
# A Windows module: the shared library TARGET (made from SOURCES, or an
# existing SHARED library target) is named <OUTPUT_NAME>.dll, binds its own
# symbols first (-Bsymbolic) and exports only the names its .def file lists
# (EXPORTS lines "Name [@ordinal [NONAME]] [DATA] [PRIVATE]", or
# "Name=internal ..."): a version script generated from the .def makes every
# other symbol local, those of the static libraries it links too, which is
# hidden visibility for the whole module. (Compiling with
# -fvisibility=hidden instead would hide the exports as well, since a
# version script cannot export a hidden symbol.) A generated source adds the
# table the loader reads
# (win32/kernel32/moduleinfo.h): every export with its ordinal (ordinals the
# .def leaves out are the lowest free ones, in order) and the entry point
# ENTRY, which must have C linkage (DllMain gets it from libloaderapi.h).
# NONAME exports are reachable by ordinal only. RESOURCES compiles a script
# into <OUTPUT_NAME>.res beside the module, where the loader looks for them
# (RESOURCE_DEPENDS: the files the script names, as DEPENDS of tam_resources).
function(tam_module target)
    cmake_parse_arguments(ARG "" "DEF;ENTRY;RESOURCES;OUTPUT_NAME" "SOURCES;LIBS;RESOURCE_DEPENDS" ${ARGN})
    if(NOT ARG_DEF)
        message(FATAL_ERROR "tam_module(${target}): DEF is required")
    endif()
    if(NOT ARG_OUTPUT_NAME)
        set(ARG_OUTPUT_NAME ${target})
    endif()
    get_filename_component(def ${ARG_DEF} ABSOLUTE)
    if(ARG_SOURCES)
        add_library(${target} SHARED ${ARG_SOURCES})
    elseif(NOT TARGET ${target})
        message(FATAL_ERROR "tam_module(${target}): no SOURCES and no such target")
    endif()

    set(gen_dir ${CMAKE_CURRENT_BINARY_DIR}/${target}_module)
    set(table ${gen_dir}/module_info.c)
    set(map ${gen_dir}/exports.map)
    add_custom_command(
        OUTPUT ${table} ${map}
        COMMAND ${CMAKE_COMMAND} -DDEF=${def} -DENTRY=${ARG_ENTRY} -DTABLE=${table} -DMAP=${map}
                -P ${TAM_MODULE_DEF_SCRIPT}
        DEPENDS ${def} ${TAM_MODULE_DEF_SCRIPT}
        COMMENT "Generating the export table of ${ARG_OUTPUT_NAME}.dll"
        VERBATIM)
    target_sources(${target} PRIVATE ${table})
    set_source_files_properties(${table} PROPERTIES INCLUDE_DIRECTORIES ${CMAKE_SOURCE_DIR}/win32)

    set_target_properties(${target} PROPERTIES
        PREFIX ""
        SUFFIX ".dll"
        OUTPUT_NAME ${ARG_OUTPUT_NAME}
        VISIBILITY_INLINES_HIDDEN ON
        LINK_DEPENDS ${map})
    # Unique symbols would keep the library from ever being unloaded.
    target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-fno-gnu-unique>)
    target_link_options(${target} PRIVATE "LINKER:--version-script=${map}" "LINKER:-Bsymbolic")
    target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/win32/include)
    if(ARG_LIBS)
        target_link_libraries(${target} PRIVATE ${ARG_LIBS})
    endif()
    if(ARG_RESOURCES)
        tam_resources(${target} ${ARG_RESOURCES} OUTPUT ${ARG_OUTPUT_NAME} DEPENDS ${ARG_RESOURCE_DEPENDS})
    endif()
endfunction()
