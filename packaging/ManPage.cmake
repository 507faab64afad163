# Writes a manual page from a program's --help, gzip-compressed without a
# time stamp. Run as: cmake -DPROGRAM=... -DNAME=... -DSUMMARY=... -DVERSION=...
#                          -DOUTPUT=....1.gz -P ManPage.cmake
# --help answers without a display.
execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --help failed (${status})")
endif()
# roff: a backslash is written \e; a line starting with . or ' is protected.
string(REPLACE "\\" "\\e" help "${help}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
string(TOUPPER "${NAME}" upper)
file(WRITE "${OUTPUT}.tmp"
".TH ${upper} 1 \"\" \"${NAME} ${VERSION}\" \"User Commands\"
.SH NAME
${NAME} \\- ${SUMMARY}
.SH DESCRIPTION
.nf
${help}.fi
.SH ENVIRONMENT
.TP
.B CORVANE_SERIAL_BACKEND
\\fBposix\\fR (the default on Linux) or \\fBqt\\fR: the code that reaches the serial port.
.SH SEE ALSO
.BR corvane-configurator (1),
.BR corvane-cli (1),
.BR corvane-rc-sim (1)
")
execute_process(COMMAND gzip -9nf "${OUTPUT}.tmp" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "gzip failed")
endif()
file(RENAME "${OUTPUT}.tmp.gz" "${OUTPUT}")
