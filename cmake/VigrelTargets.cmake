# How each folder declares its targets, once each, and the record of them that the layer check
# (tests/layers/check-layers.py) reads beside CMake's own link graph:
#
#   vigrel_target(NAME PORTABLE|WINDOWS [HEADERS|OBJECTS|PROGRAM|PLUGIN]
#                 [SOURCES file...] [DEPENDS target...] [NEEDS target...])
#
# PORTABLE code has no Windows header and is made in every build; WINDOWS code in the Windows
# builds only. A static library unless said otherwise: HEADERS are headers alone (an interface
# target, linked where they are included), OBJECTS an object library (its objects go whole into
# what links it: a resource), a PROGRAM an executable, a PLUGIN a DLL with no "lib" prefix.
# DEPENDS are the targets and system libraries it links: a library passes them on to whoever
# links it, a program or a DLL keeps them to itself. NEEDS are targets built before it and not
# linked: the plug-in a program loads.
#
# A library is named vigrel_<folder> after the last name of its folder, or vigrel_<folder>_<part>
# for another part of it (vigrel_ui_core: the toolkit's portable part); a program or a DLL is
# named as the file it makes.
include_guard(GLOBAL)

function(vigrel_target name where)
    cmake_parse_arguments(PARSE_ARGV 2 arg "HEADERS;OBJECTS;PROGRAM;PLUGIN" "" "SOURCES;DEPENDS;NEEDS")
    if(NOT where MATCHES "^(PORTABLE|WINDOWS)$" OR arg_UNPARSED_ARGUMENTS)
        message(FATAL_ERROR "vigrel_target(${name} ${where} ${arg_UNPARSED_ARGUMENTS}): "
                            "PORTABLE or WINDOWS, then HEADERS, OBJECTS, PROGRAM or PLUGIN, "
                            "SOURCES and DEPENDS")
    endif()
    if(where STREQUAL "WINDOWS" AND NOT WIN32)
        return()
    endif()
    get_filename_component(leaf ${CMAKE_CURRENT_SOURCE_DIR} NAME)
    set(scope PUBLIC)
    if(arg_PROGRAM)
        add_executable(${name} ${arg_SOURCES})
        set(scope PRIVATE)
    elseif(arg_PLUGIN)
        add_library(${name} SHARED ${arg_SOURCES})
        set_target_properties(${name} PROPERTIES PREFIX "")
        set(scope PRIVATE)
    elseif(arg_HEADERS)
        add_library(${name} INTERFACE)
        set(scope INTERFACE)
    elseif(arg_OBJECTS)
        add_library(${name} OBJECT ${arg_SOURCES})
    else()
        add_library(${name} STATIC ${arg_SOURCES})
    endif()
    if(NOT arg_PROGRAM AND NOT arg_PLUGIN AND NOT name MATCHES "^vigrel_${leaf}(_[a-z0-9]+)?$")
        message(FATAL_ERROR "${CMAKE_CURRENT_SOURCE_DIR}: a library here is named vigrel_${leaf} "
                            "or vigrel_${leaf}_<part>, not ${name}")
    endif()
    if(arg_DEPENDS)
        target_link_libraries(${name} ${scope} ${arg_DEPENDS})
    endif()
    if(arg_NEEDS)
        add_dependencies(${name} ${arg_NEEDS})
    endif()
    set_property(TARGET ${name} PROPERTY VIGREL_DECLARED "${arg_DEPENDS}|${arg_NEEDS}")
endfunction()

# Writes, at the end of the configure, one line per target of the tree (made by the build, not a
# custom step), its fields apart by tabs: its name, its folder, whether vigrel_target made it,
# and the targets it declares it links and needs, each a list.
function(vigrel_write_target_record)
    set(lines "")
    set(folders ${CMAKE_SOURCE_DIR})
    while(folders)
        list(POP_FRONT folders folder)
        get_property(subfolders DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
        list(APPEND folders ${subfolders})
        string(FIND "${folder}/" "${CMAKE_SOURCE_DIR}/" at)
        if(NOT at EQUAL 0)
            continue()
        endif()
        file(RELATIVE_PATH relative ${CMAKE_SOURCE_DIR} ${folder})
        if(relative STREQUAL "")
            set(relative .)
        endif()
        get_property(targets DIRECTORY ${folder} PROPERTY BUILDSYSTEM_TARGETS)
        foreach(target IN LISTS targets)
            get_target_property(type ${target} TYPE)
            if(type STREQUAL "UTILITY")
                continue()
            endif()
            get_target_property(declared ${target} VIGREL_DECLARED)
            if(declared STREQUAL "declared-NOTFOUND")
                string(APPEND lines "${target}\t${relative}\t0\t\t\n")
            else()
                string(REPLACE "|" "\t" declared "${declared}")
                string(APPEND lines "${target}\t${relative}\t1\t${declared}\n")
            endif()
        endforeach()
    endwhile()
    file(WRITE ${CMAKE_BINARY_DIR}/vigrel-targets.txt "${lines}")
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL vigrel_write_target_record)
