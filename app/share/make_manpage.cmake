# Writes the manual page of torvane-player from its --help text:
#   cmake -DPROGRAM=path/to/run -DOUTPUT=torvane-player.1 -DVERSION=x.y.z -P make_manpage.cmake
execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "make_manpage: ${PROGRAM} --help failed")
endif()
string(REPLACE "\\" "\\\\" help "${help}")
string(REPLACE "--" "\\-\\-" help "${help}")
string(REGEX REPLACE "^Usage: [^ ]+" "torvane-player" help "${help}")
string(FIND "${help}" "\n" lineEnd)
string(SUBSTRING "${help}" 0 ${lineEnd} synopsis)
math(EXPR rest "${lineEnd} + 2")
string(SUBSTRING "${help}" ${rest} -1 options)
file(WRITE ${OUTPUT}
".TH TORVANE-PLAYER 6 \"\" \"Torvane Player ${VERSION}\" \"Games\"\n"
".SH NAME\n"
"torvane-player \\- play adventure games made with the Torvane editor\n"
".SH SYNOPSIS\n"
".nf\n${synopsis}\n.fi\n"
".SH DESCRIPTION\n"
".nf\n${options}.fi\n"
".SH FILES\n"
"Saved games go to the user's documents folder; settings to the user's configuration folder.\n")
