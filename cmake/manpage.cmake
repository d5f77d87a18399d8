# Writes the man page of marbleway-cli from the program's own --help, so that
# the two never tell different stories.
#   cmake -DCLI=path -DVERSION=1.0.0 -DOUTPUT=marbleway-cli.1.gz -P manpage.cmake
execute_process(COMMAND "${CLI}" --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${CLI} --help failed: ${status}")
endif()

# roff: a backslash is "\e"; a line must not start with "." or "'".
string(REPLACE "\\" "\\e" help "${help}")
string(REGEX REPLACE "\n([.'])" "\n\\\\&\\1" help "${help}")
string(REGEX REPLACE "^Usage: [^\n]*\n\n?" "" help "${help}")

string(TIMESTAMP today "%Y-%m-%d" UTC)
set(page ".TH MARBLEWAY-CLI 1 \"${today}\" \"Marbleway ${VERSION}\" \"User Commands\"
.SH NAME
marbleway-cli \\- keyword ranks, related keywords and the keyword database of Marbleway from the command line
.SH SYNOPSIS
.B marbleway-cli
.I COMMAND
.RI [ OPTIONS ]
.SH DESCRIPTION
.B marbleway-cli
does what the Marbleway window does, one command at a time, with the window's
data folder and settings. Rows go to the standard output, tab-separated, as
they are found.
.PP
.nf
${help}.fi
.SH FILES
.TP
.I ~/.local/share/Marbleway
The data folder: keyword lists, favourites and their daily rank history, the
keyword database.
.TP
.I ~/.config/Marbleway/Marbleway.conf
The settings the window and this program share.
")
get_filename_component(dir "${OUTPUT}" DIRECTORY)
get_filename_component(name "${OUTPUT}" NAME_WLE)
file(WRITE "${dir}/${name}" "${page}")
file(ARCHIVE_CREATE OUTPUT "${OUTPUT}" PATHS "${dir}/${name}" FORMAT raw COMPRESSION GZip)
