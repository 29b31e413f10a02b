# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the help compiler on PROJECT_FILE in WORK_DIR and copies the result to OUTPUT.
# A warning of the compiler (a page or picture that a link names but that does not exist)
# fails the build, so that no broken link reaches the user.
file(REMOVE ${WORK_DIR}/Lumikon.chm)
execute_process(COMMAND ${CHMCMD} ${PROJECT_FILE}
  WORKING_DIRECTORY ${WORK_DIR}
  RESULT_VARIABLE result
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR output MATCHES "Warning|corrupt" OR NOT EXISTS ${WORK_DIR}/Lumikon.chm)
  message(FATAL_ERROR "The help file could not be compiled:\n${output}")
endif()
file(COPY_FILE ${WORK_DIR}/Lumikon.chm ${OUTPUT})
