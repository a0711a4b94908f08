# Gives a Windows binary its version resource (the details Explorer shows):
# TARGET's internal name is the target's own, FILE_NAME the name it ships
# under, TYPE VFT_APP or VFT_DLL.
function(rastrex_version_resource target file_name type description)
  set(RC_FILE_NAME ${file_name})
  set(RC_INTERNAL_NAME ${target})
  set(RC_FILE_TYPE ${type})
  set(RC_DESCRIPTION "${description}")
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
endfunction()
