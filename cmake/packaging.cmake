# Packages: a .deb of the three programs, their manual pages and the README
# (Release build, `cpack -G DEB`), and for Windows a zip of the .exe files
# with the README.
set(CPACK_PACKAGE_NAME consoletools)
set(CPACK_PACKAGE_VENDOR "consoletools")
set(CPACK_PACKAGE_CONTACT "consoletools maintainers <consoletools@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "consoleconv and consolepack rewrite a console Java program for a console class "
  "library and compile it; consolepack also packages it into an executable jar. "
  "sweeper removes every _vti_cnf directory from a tree.")
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_FILE_NAME_DEFAULT_COMPONENTS ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The converters run javac and jar; the jars they make open a window, which
# needs the JDK's graphical part.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "default-jdk | java-sdk")

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME windows-x86_64)
else()
  set(CPACK_GENERATOR DEB)
endif()
include(CPack)
