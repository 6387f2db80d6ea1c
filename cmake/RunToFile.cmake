# cmake -DPROGRAM=... -DARGS=a,b -DOUTPUT=... [-DHELP_TO_MAN=NAME -DSUMMARY=... -DSEE_ALSO=a,b -DVERSION=...] -P RunToFile.cmake
# Writes what PROGRAM prints to OUTPUT. With HELP_TO_MAN, the printed help
# becomes the manual page of program NAME.
string(REPLACE "," ";" ARGS "${ARGS}")
execute_process(COMMAND ${PROGRAM} ${ARGS} OUTPUT_VARIABLE text RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} ${ARGS}: exit status ${status}")
endif()
if(HELP_TO_MAN)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  string(REPLACE "-" "\\-" name "${HELP_TO_MAN}")
  string(TOUPPER "${name}" title)
  set(see_also "")
  string(REPLACE "," ";" others "${SEE_ALSO}")
  foreach(other ${others})
    string(REPLACE "-" "\\-" other "${other}")
    string(APPEND see_also ".BR ${other} (1)\n")
  endforeach()
  set(text ".TH ${title} 1 \"\" \"Vondrix ${VERSION}\" \"User Commands\"
.SH NAME
${name} \\- ${SUMMARY}
.SH SYNOPSIS
.B ${name}
[\\fIOPTIONS\\fR]
.SH OPTIONS
.nf
${text}.fi
.SH SEE ALSO
${see_also}")
endif()
file(WRITE ${OUTPUT} "${text}")
