# vu_windows_resources(TARGET PROGRAM): compiles one of the programs' resource scripts in art/
# (optimizer, install or uninstall, with or without ".rc": icon, artwork, manifest) into TARGET.
# Windows build only; nothing happens in the native build, where the headless host needs no
# pictures.
function(vu_windows_resources target rcfile)
  if(NOT VU_WINDOWS)
    return()
  endif()
  set(art_dir ${PROJECT_SOURCE_DIR}/art)
  if(NOT rcfile MATCHES "\\.rc$")
    set(rcfile ${rcfile}.rc)
  endif()
  get_filename_component(rc ${rcfile} ABSOLUTE BASE_DIR ${art_dir})
  file(GLOB art_files CONFIGURE_DEPENDS ${art_dir}/*.bmp ${art_dir}/*.ico ${art_dir}/*.xml
       ${art_dir}/*.rc)
  # A target of its own, so that the C++ warning flags of vu_target never reach windres.
  add_library(${target}_resources OBJECT ${rc})
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${art_files}")
  target_include_directories(${target}_resources PRIVATE ${art_dir})
  target_sources(${target} PRIVATE $<TARGET_OBJECTS:${target}_resources>)
endfunction()
