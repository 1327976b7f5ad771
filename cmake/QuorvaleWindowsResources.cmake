# The Windows program's resources, compiled by windres into quorvale.exe: its
# icon (packaging/icons/quorvale.ico), its version information from
# project(VERSION) and its application manifest.
enable_language(RC)

set(QUORVALE_WINDOWS_DIR ${PROJECT_SOURCE_DIR}/packaging/windows)
set(QUORVALE_ICO ${PROJECT_SOURCE_DIR}/packaging/icons/quorvale.ico)
set(QUORVALE_MANIFEST ${CMAKE_CURRENT_BINARY_DIR}/generated/quorvale.exe.manifest)
# Windows versions have four numbers; the parts project() leaves out are 0.
foreach(part MAJOR MINOR PATCH TWEAK)
  if("${PROJECT_VERSION_${part}}" STREQUAL "")
    set(QUORVALE_VERSION_${part} 0)
  else()
    set(QUORVALE_VERSION_${part} ${PROJECT_VERSION_${part}})
  endif()
endforeach()
set(QUORVALE_VERSION_QUAD
  "${QUORVALE_VERSION_MAJOR}.${QUORVALE_VERSION_MINOR}.${QUORVALE_VERSION_PATCH}.${QUORVALE_VERSION_TWEAK}")
string(REPLACE "." "," QUORVALE_VERSION_COMMAS ${QUORVALE_VERSION_QUAD})

configure_file(${QUORVALE_WINDOWS_DIR}/quorvale.exe.manifest.in ${QUORVALE_MANIFEST} @ONLY)
configure_file(${QUORVALE_WINDOWS_DIR}/quorvale.rc.in
  ${CMAKE_CURRENT_BINARY_DIR}/generated/quorvale.rc @ONLY)
target_sources(quorvale PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/generated/quorvale.rc)
# windres reads the icon and the manifest; CMake does not see that by itself.
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/generated/quorvale.rc PROPERTIES
  OBJECT_DEPENDS "${QUORVALE_ICO};${QUORVALE_MANIFEST}")
