# Manual pages: written by hand beside each program, compressed for
# installing, and checked against the program's own --help.
find_program(GZIP_PROGRAM gzip)

function(consoletools_add_manpage program)
  if(WIN32)
    return()
  endif()
  set(page ${CMAKE_CURRENT_SOURCE_DIR}/${program}.1)
  if(GZIP_PROGRAM)
    set(installed ${CMAKE_CURRENT_BINARY_DIR}/${program}.1.gz)
    add_custom_command(OUTPUT ${installed}
      COMMAND ${GZIP_PROGRAM} -9n -c ${page} > ${installed}
      DEPENDS ${page}
      COMMENT "Compressing the manual page of ${program}")
    add_custom_target(${program}_manpage ALL DEPENDS ${installed})
  else()
    set(installed ${page})
  endif()
  install(FILES ${installed} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  if(BUILD_TESTING)
    add_test(NAME ${program}.manpage
             COMMAND ${PROJECT_SOURCE_DIR}/tools/check-manpage $<TARGET_FILE:${program}> ${page})
    set_tests_properties(${program}.manpage PROPERTIES TIMEOUT 60)
  endif()
endfunction()
