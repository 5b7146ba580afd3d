# The packages to hand out on Windows, both made from one staged copy of what they
# hold (the two programs, stripped, the information page and the icon):
#   quenmar-<version>-win64.zip  unpacked anywhere and run; no DLLs;
#   quenmar-<version>-win64.msi  the installer (packaging/quenmar.wxs, made with
#                                wixl from Debian's package of that name).
# `package-win64` makes both; quenmar_msi() makes an installer of any version (the
# tests make an older one to upgrade from).
find_program(QUENMAR_WIXL wixl)
if(NOT QUENMAR_WIXL)
  message(FATAL_ERROR "The Windows installer is made with wixl: apt-get install wixl")
endif()

set(QUENMAR_PACKAGE_STAGE ${CMAKE_BINARY_DIR}/package)
set(QUENMAR_PACKAGE_STAMP ${CMAKE_BINARY_DIR}/package.stamp)
set(stage_ico ${CMAKE_BINARY_DIR}/ui/win32/quenmar.ico)
add_custom_command(OUTPUT ${QUENMAR_PACKAGE_STAMP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${QUENMAR_PACKAGE_STAGE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${QUENMAR_PACKAGE_STAGE}
  COMMAND ${CMAKE_COMMAND} -E copy quenmar.exe quenmar-convert.exe quenmar-info.html ${stage_ico}
          ${QUENMAR_PACKAGE_STAGE}
  COMMAND ${CMAKE_STRIP} ${QUENMAR_PACKAGE_STAGE}/quenmar.exe ${QUENMAR_PACKAGE_STAGE}/quenmar-convert.exe
  COMMAND ${CMAKE_COMMAND} -E touch ${QUENMAR_PACKAGE_STAMP}
  DEPENDS quenmar quenmar-convert ${CMAKE_BINARY_DIR}/quenmar-info.html ${stage_ico}
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR} VERBATIM)

# quenmar_msi(OUTPUT VERSION): the installer of the staged programs, as VERSION
# (a.b.c.d; Windows Installer compares the first three).
function(quenmar_msi output version)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${output}
    COMMAND ${QUENMAR_WIXL} -a x64 -D Version=${version} -D ProgramDir=. -D IconFile=quenmar.ico -o ${output}
            ${PROJECT_SOURCE_DIR}/packaging/quenmar.wxs
    DEPENDS ${QUENMAR_PACKAGE_STAMP} ${PROJECT_SOURCE_DIR}/packaging/quenmar.wxs
    WORKING_DIRECTORY ${QUENMAR_PACKAGE_STAGE} VERBATIM)
endfunction()

set(QUENMAR_PACKAGE ${CMAKE_BINARY_DIR}/quenmar-${PROJECT_VERSION}-win64.zip)
set(QUENMAR_INSTALLER ${CMAKE_BINARY_DIR}/quenmar-${PROJECT_VERSION}-win64.msi)
add_custom_command(OUTPUT ${QUENMAR_PACKAGE}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${QUENMAR_PACKAGE}
  COMMAND ${CMAKE_COMMAND} -E tar cf ${QUENMAR_PACKAGE} --format=zip quenmar.exe quenmar-convert.exe quenmar-info.html
  DEPENDS ${QUENMAR_PACKAGE_STAMP}
  WORKING_DIRECTORY ${QUENMAR_PACKAGE_STAGE} VERBATIM)
quenmar_msi(${QUENMAR_INSTALLER} ${PROJECT_VERSION})
add_custom_target(package-win64 DEPENDS ${QUENMAR_PACKAGE} ${QUENMAR_INSTALLER})
