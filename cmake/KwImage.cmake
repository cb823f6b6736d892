# kw_image: builds an application image from C and GNU assembler sources with kwlink.
#
#   kw_image(<name> SOURCES <file>...
#            [ENGINE <target or file>] [RESOURCES <file>...]
#            [ENTRY <symbol>] [PROJECT <symbol>])
#
# Compiles the sources into the object library <name>_objects (i386, freestanding, no PIC, no
# unwind tables, no stack protector, sibling calls kept as calls so that every call of an
# engine service is a near call, data at its ABI alignment) with tools/kwlink on the include path for kwapp.h and
# kwapp.inc, then links them into images/<name> under the current binary directory: with
# ENGINE, the production form (a copy of the engine that carries the application); without,
# the development form (a directory of code1.dat, data1.dat, code2.dat, data2.dat and, with
# RESOURCES, data3.dat). The target <name> builds it; its property KW_IMAGE_OUTPUT holds the
# path. Works in both configurations; only the product build can run an image.

enable_language(ASM)

set(KW_IMAGE_COMPILE_OPTIONS
  -m32
  $<$<COMPILE_LANGUAGE:C>:-fno-pic -ffreestanding -fno-asynchronous-unwind-tables -fno-stack-protector
                          -fno-optimize-sibling-calls>
  # gcc aligns large arrays to 32 bytes unless told to keep the ABI's alignment; kwlink takes 16 at most.
  $<$<AND:$<COMPILE_LANGUAGE:C>,$<C_COMPILER_ID:GNU>>:-malign-data=abi>
  $<$<AND:$<COMPILE_LANGUAGE:ASM>,$<C_COMPILER_ID:Clang>>:-Wno-unused-command-line-argument>)

function(kw_image name)
  cmake_parse_arguments(ARG "" "ENGINE;ENTRY;PROJECT" "SOURCES;RESOURCES" ${ARGN})
  add_library(${name}_objects OBJECT ${ARG_SOURCES})
  # Replaces the directory's options: sanitizers and stack realignment have no place in an image.
  set_target_properties(${name}_objects PROPERTIES COMPILE_OPTIONS "${KW_IMAGE_COMPILE_OPTIONS}")
  target_include_directories(${name}_objects PRIVATE ${PROJECT_SOURCE_DIR}/tools/kwlink)

  set(output ${CMAKE_CURRENT_BINARY_DIR}/images/${name})
  set(arguments)
  set(depends kwlink ${name}_objects $<TARGET_OBJECTS:${name}_objects>)
  if(ARG_ENTRY)
    list(APPEND arguments --entry ${ARG_ENTRY})
  endif()
  if(ARG_PROJECT)
    list(APPEND arguments --project ${ARG_PROJECT})
  endif()
  foreach(resource IN LISTS ARG_RESOURCES)
    get_filename_component(resource ${resource} ABSOLUTE)
    list(APPEND arguments --resource ${resource})
    list(APPEND depends ${resource})
  endforeach()
  if(ARG_ENGINE)
    if(TARGET ${ARG_ENGINE})
      set(engine $<TARGET_FILE:${ARG_ENGINE}>)
      list(APPEND depends ${ARG_ENGINE})
    else()
      get_filename_component(engine ${ARG_ENGINE} ABSOLUTE)
    endif()
    list(APPEND arguments --engine ${engine} --output ${output})
    list(APPEND depends ${engine})
    set(outputs ${output})
  else()
    list(APPEND arguments --development ${output})
    set(outputs ${output}/code1.dat ${output}/data1.dat ${output}/code2.dat ${output}/data2.dat)
    if(ARG_RESOURCES)
      list(APPEND outputs ${output}/data3.dat)
    endif()
  endif()

  add_custom_command(
    OUTPUT ${outputs}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/images
    COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:kwlink> ${arguments} $<TARGET_OBJECTS:${name}_objects>
    DEPENDS ${depends}
    COMMENT "Linking application image ${name}"
    COMMAND_EXPAND_LISTS VERBATIM)
  add_custom_target(${name} ALL DEPENDS ${outputs})
  set_target_properties(${name} PROPERTIES KW_IMAGE_OUTPUT ${output})
endfunction()

# kw_image_test: builds an image in one form and runs it as a test (product build only).
#
#   kw_image_test(<name> SOURCES <file>... [FORM production|development] [RESOURCES <file>...]
#                 [TRACE <expected trace file>] [STDERR <regular expression>] [EXIT <code>]
#                 [ARGUMENTS <argument>...] [FILES <file>...] [ENGINE <target>])
#
# FILES are copied into the directory the application runs in (libraries it loads, say).
# ENGINE replaces kwrun (an engine with test classes of its own, say).
#
# The production form runs the engine that carries the image; the development form runs kwrun
# in a directory holding the development files. The exit code defaults to 1, a normal end.
function(kw_image_test name)
  cmake_parse_arguments(ARG "" "FORM;TRACE;STDERR;EXIT;ENGINE" "SOURCES;RESOURCES;ARGUMENTS;FILES" ${ARGN})
  if(NOT KW_PRODUCT_BUILD)
    return()
  endif()
  if(NOT ARG_ENGINE)
    set(ARG_ENGINE kwrun)
  endif()
  if(NOT ARG_FORM)
    set(ARG_FORM production)
  endif()
  if(NOT DEFINED ARG_EXIT)
    set(ARG_EXIT 1)
  endif()
  set(definitions -DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR} -DEXPECTED_EXIT=${ARG_EXIT}
      -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/runs/${name})
  if(ARG_FORM STREQUAL "production")
    kw_image(${name}_image SOURCES ${ARG_SOURCES} RESOURCES ${ARG_RESOURCES} ENGINE ${ARG_ENGINE})
    list(APPEND definitions -DPROGRAM=${CMAKE_CURRENT_BINARY_DIR}/images/${name}_image)
  else()
    kw_image(${name}_image SOURCES ${ARG_SOURCES} RESOURCES ${ARG_RESOURCES})
    list(APPEND definitions -DPROGRAM=$<TARGET_FILE:${ARG_ENGINE}> -DIMAGE_DIR=${CMAKE_CURRENT_BINARY_DIR}/images/${name}_image)
  endif()
  if(ARG_TRACE)
    get_filename_component(trace ${ARG_TRACE} ABSOLUTE)
    list(APPEND definitions -DEXPECTED_TRACE=${trace})
  endif()
  if(DEFINED ARG_STDERR)
    list(APPEND definitions "-DEXPECTED_STDERR=${ARG_STDERR}")
  endif()
  if(ARG_ARGUMENTS)
    list(APPEND definitions "-DARGUMENTS=${ARG_ARGUMENTS}")
  endif()
  if(ARG_FILES)
    string(REPLACE ";" "|" files "${ARG_FILES}")
    list(APPEND definitions "-DFILES=${files}")
  endif()
  add_test(NAME ${name} COMMAND ${CMAKE_COMMAND} ${definitions} -P ${PROJECT_SOURCE_DIR}/cmake/run_image_test.cmake)
endfunction()
