# cmake -DDIR=... -DEXPECTED=A;B;... -P check_class_files.cmake: DIR holds
# exactly the class files A.class, B.class, ... and nothing else.
file(GLOB found RELATIVE ${DIR} ${DIR}/*)
set(expected)
foreach(name IN LISTS EXPECTED)
  list(APPEND expected ${name}.class)
endforeach()
list(SORT found)
list(SORT expected)
if(NOT found STREQUAL expected)
  message(FATAL_ERROR "${DIR} holds [${found}], not [${expected}]")
endif()
message(STATUS "${DIR} holds the ${EXPECTED}")
