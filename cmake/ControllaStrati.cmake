# Checks that every include between the folders of src/ points down the
# layers, and fails the build naming each one that does not:
#   data/engine   the store
#   data          widget-free data work: the store
#   reports/engine the report engine: data, the store
#   gui           the shared GUI layer: data, the store
#   registries movements reports tools online   the feature windows: gui,
#                 data, the store, their own folder; reports also the report
#                 engine and the interface the check windows own
#   app           the shell: anything
# The store, data and the report engine include no generated form either.
# Run with: cmake -DSORGENTI=<src folder> -DTIMBRO=<stamp file> -P ControllaStrati.cmake

cmake_minimum_required(VERSION 3.25)

set(consentiti_data/engine "data/engine")
set(consentiti_data "data;data/engine")
set(consentiti_reports/engine "reports/engine;data;data/engine")
set(consentiti_gui "gui;data;data/engine")
foreach(f registries movements tools online)
  set(consentiti_${f} "${f};gui;data;data/engine")
endforeach()
set(consentiti_reports "reports;reports/engine;gui;data;data/engine")
# The small interface the check windows own and the reports implement.
set(eccezioni_reports "movements/StampeControlli.h")
set(senza_moduli "data/engine;data;reports/engine")

file(GLOB_RECURSE file_sorgenti RELATIVE ${SORGENTI} ${SORGENTI}/*.cpp ${SORGENTI}/*.h)
set(errori "")
foreach(f ${file_sorgenti})
  get_filename_component(cartella ${f} DIRECTORY)
  if(NOT DEFINED consentiti_${cartella})
    continue()  # app/ and the programs of their own
  endif()
  file(STRINGS ${SORGENTI}/${f} righe REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(r ${righe})
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*$" "\\1" incluso "${r}")
    get_filename_component(cartella_inclusa ${incluso} DIRECTORY)
    if(cartella_inclusa STREQUAL "")
      if(incluso MATCHES "^ui_" AND cartella IN_LIST senza_moduli)
        string(APPEND errori "  ${f}: ${incluso} (a form in a widget-free layer)\n")
      endif()
      continue()
    endif()
    if(cartella_inclusa IN_LIST consentiti_${cartella})
      continue()
    endif()
    if(DEFINED eccezioni_${cartella} AND incluso IN_LIST eccezioni_${cartella})
      continue()
    endif()
    string(APPEND errori "  ${f}: ${incluso}\n")
  endforeach()
endforeach()

if(NOT errori STREQUAL "")
  message(FATAL_ERROR "Includes that do not point down the layers:\n${errori}")
endif()
file(WRITE ${TIMBRO} "ok\n")
