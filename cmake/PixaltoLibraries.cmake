# The outside libraries the program's own libraries link, each through a
# target of ours: the shared library, or its static archive for a program
# whose PIXALTO_STATIC property is on. pixalto-cli is linked that way (see
# PIXALTO_STATIC_CLI): a file manager starts it once for every thumbnail and a
# script once for every command, and most of a short run's time would
# otherwise go to loading a dozen shared libraries.

set(PIXALTO_STATIC_LINKING ${PIXALTO_STATIC_CLI})
if(PIXALTO_SANITIZE OR PIXALTO_FUZZ)
  # The sanitizers' runtimes are shared libraries.
  set(PIXALTO_STATIC_LINKING OFF)
endif()
if(PIXALTO_STATIC_LINKING)
  set(archives)
  foreach(name png16 z imagequant iso9660 cdio)
    find_library(PIXALTO_STATIC_${name} NAMES lib${name}.a)
    if(NOT PIXALTO_STATIC_${name})
      message(STATUS "lib${name}.a not found: pixalto-cli links the shared libraries")
      set(PIXALTO_STATIC_LINKING OFF)
    endif()
  endforeach()
endif()

# pixalto_dependency(NAME SHARED ARCHIVE...): NAME links SHARED (a target), or
# the archives and flags given for a static program.
function(pixalto_dependency name shared)
  add_library(${name} INTERFACE)
  set(static "$<BOOL:$<TARGET_PROPERTY:PIXALTO_STATIC>>")
  target_link_libraries(${name} INTERFACE "$<$<NOT:${static}>:${shared}>")
  if(PIXALTO_STATIC_LINKING)
    # The headers are the shared library's.
    target_include_directories(${name} INTERFACE
      "$<${static}:$<TARGET_PROPERTY:${shared},INTERFACE_INCLUDE_DIRECTORIES>>")
    foreach(item IN LISTS ARGN)
      target_link_libraries(${name} INTERFACE "$<${static}:${item}>")
    endforeach()
  endif()
endfunction()

pixalto_dependency(pixalto_png PNG::PNG ${PIXALTO_STATIC_png16} ${PIXALTO_STATIC_z} m)
# libimagequant quantises on OpenMP's threads.
pixalto_dependency(pixalto_imagequant PkgConfig::IMAGEQUANT ${PIXALTO_STATIC_imagequant} -fopenmp m)
pixalto_dependency(pixalto_iso9660 PkgConfig::ISO9660 ${PIXALTO_STATIC_iso9660}
                   ${PIXALTO_STATIC_cdio} m)

# Makes program (an executable) link every outside library statically, the C
# and C++ runtimes included, when the build allows it.
function(pixalto_link_statically program)
  if(PIXALTO_STATIC_LINKING)
    set_target_properties(${program} PROPERTIES PIXALTO_STATIC ON)
    target_link_options(${program} PRIVATE -static)
  endif()
endfunction()
