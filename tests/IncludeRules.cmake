# cmake -DSOURCE_DIR=<repository> -P IncludeRules.cmake
#
# Fails when a source file includes from a folder that its folder's README
# does not allow. The README nearest to a file (its own folder's, else its
# parent's, ...) rules it, through its paragraph "May depend on: ...":
#   - a file may include anything inside that README's folder;
#   - every path in backquotes there (from the repository's root:
#     `platform/core`, `link/`, `platform/d2xx/ftd2xx.h`) is allowed too;
#   - Qt headers (<Q...>) only where it names `Qt`;
#   - "everything" there allows everything.
# A quoted include is looked up beside the file, then in the folders the
# build puts on the include path; one found nowhere (a generated file) is
# not checked.
cmake_minimum_required(VERSION 3.25)
if(NOT SOURCE_DIR)
    message(FATAL_ERROR "SOURCE_DIR is not set")
endif()

# The folders on the build's include path, and the folders checked (both
# from the repository's root; set them to check another tree).
if(NOT DEFINED INCLUDE_ROOTS)
    set(INCLUDE_ROOTS platform link pictures workbench workbench/forms scope tools/picgen
        tests/support fuzz)
endif()
if(NOT DEFINED TOP_FOLDERS)
    set(TOP_FOLDERS platform link pictures workbench scope tools fuzz tests bench)
endif()
set(include_roots ${INCLUDE_ROOTS})
set(top_folders ${TOP_FOLDERS})

# The rules of every README below the root.
set(rule_folders "")
foreach(top IN LISTS top_folders)
    # A folder and its sub-folders may have a README (deeper ones are data).
    file(GLOB readmes RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${top}/README.md
         ${SOURCE_DIR}/${top}/*/README.md)
    foreach(readme IN LISTS readmes)
        get_filename_component(folder ${readme} DIRECTORY)
        file(READ ${SOURCE_DIR}/${readme} text)
        # The paragraph that starts with "May depend on:".
        string(REGEX MATCH "(^|\n)May depend on:[^\n]*(\n[^\n]+)*" line "${text}")
        if(NOT line)
            message(SEND_ERROR "${readme}: no paragraph \"May depend on: ...\"")
            continue()
        endif()
        string(REGEX MATCHALL "`[^`]+`" quoted "${line}")
        set(allowed "")
        foreach(q IN LISTS quoted)
            string(REGEX REPLACE "^`(.*)`$" "\\1" path "${q}")
            string(REGEX REPLACE "/$" "" path "${path}")
            if(EXISTS ${SOURCE_DIR}/${path})
                list(APPEND allowed ${path})
            endif()
        endforeach()
        list(APPEND rule_folders ${folder})
        set(allowed_${folder} ${allowed})
        set(everything_${folder} FALSE)
        set(qt_${folder} FALSE)
        if(line MATCHES "everything")
            set(everything_${folder} TRUE)
        endif()
        if(line MATCHES "`Qt`")
            set(qt_${folder} TRUE)
        endif()
    endforeach()
endforeach()

# True when path lies in folder (or is that file).
function(is_within path folder out)
    string(FIND "${path}/" "${folder}/" at)
    if(at EQUAL 0)
        set(${out} TRUE PARENT_SCOPE)
    else()
        set(${out} FALSE PARENT_SCOPE)
    endif()
endfunction()

set(violations 0)
foreach(top IN LISTS top_folders)
    file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${top}/*.cpp
         ${SOURCE_DIR}/${top}/*.h)
    foreach(source IN LISTS sources)
        # The nearest README.
        get_filename_component(folder ${source} DIRECTORY)
        set(rule "")
        while(folder)
            if(folder IN_LIST rule_folders)
                set(rule ${folder})
                break()
            endif()
            get_filename_component(folder ${folder} DIRECTORY)
        endwhile()
        if(NOT rule)
            message(SEND_ERROR "${source}: no README.md with its dependencies above it")
            math(EXPR violations "${violations} + 1")
            continue()
        endif()
        if(everything_${rule})
            continue()
        endif()
        get_filename_component(here ${source} DIRECTORY)
        file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
        foreach(inc IN LISTS includes)
            if(inc MATCHES "<(Q[A-Za-z]*|Qt[A-Za-z]*/[^>]*)>")
                if(NOT qt_${rule})
                    message(SEND_ERROR "${source}: ${inc}: ${rule}/README.md does not allow Qt")
                    math(EXPR violations "${violations} + 1")
                endif()
                continue()
            endif()
            if(NOT inc MATCHES "\"([^\"]+)\"")
                continue()
            endif()
            set(name ${CMAKE_MATCH_1})
            set(found "")
            foreach(root IN ITEMS ${here} ${include_roots})
                if(EXISTS ${SOURCE_DIR}/${root}/${name})
                    file(RELATIVE_PATH found ${SOURCE_DIR} ${SOURCE_DIR}/${root}/${name})
                    break()
                endif()
            endforeach()
            if(NOT found)
                continue()
            endif()
            is_within(${found} ${rule} ok)
            foreach(allowed IN LISTS allowed_${rule})
                if(NOT ok)
                    is_within(${found} ${allowed} ok)
                endif()
            endforeach()
            if(NOT ok)
                message(SEND_ERROR "${source} includes ${found}: ${rule}/README.md does not "
                                   "allow it (May depend on: ${allowed_${rule}})")
                math(EXPR violations "${violations} + 1")
            endif()
        endforeach()
    endforeach()
endforeach()

if(violations GREATER 0)
    message(FATAL_ERROR "${violations} include(s) against the folders' README files")
endif()
