# Run at install time (install(CODE) sets the variables): writes the desktop entry with the
# installed program's full path, so that it starts without the prefix's bin on PATH, and installs it.
#   entry_template  the entry with @EXEC@ where the program goes
#   entry_output    where the filled-in entry is written first (in the build tree)
#   entry_bindir    CMAKE_INSTALL_BINDIR (relative to the prefix, or absolute)
#   entry_datadir   CMAKE_INSTALL_DATADIR (likewise)
# CMAKE_INSTALL_PREFIX is the prefix of this install (cmake --install --prefix included).
foreach(var bindir datadir)
  if(IS_ABSOLUTE "${entry_${var}}")
    set(${var} "${entry_${var}}")
  else()
    set(${var} "${CMAKE_INSTALL_PREFIX}/${entry_${var}}")
  endif()
endforeach()

# A quoted Exec argument: backslash, double quote, backquote and dollar take a backslash, which the
# entry's own string escapes double; a percent sign is doubled.
set(program "${bindir}/marvenlot")
string(REPLACE "\\" "\\\\\\\\" program "${program}")
foreach(char "\"" "`" "$")
  string(REPLACE "${char}" "\\\\${char}" program "${program}")
endforeach()
string(REPLACE "%" "%%" program "${program}")

file(READ "${entry_template}" entry)
string(REPLACE "@EXEC@" "\"${program}\"" entry "${entry}")
file(WRITE "${entry_output}" "${entry}")
file(INSTALL DESTINATION "${datadir}/applications" TYPE FILE FILES "${entry_output}")
