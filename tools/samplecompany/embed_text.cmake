# Writes the text of the file IN as a C++ function NAME returning it, into OUT.
file(READ ${IN} content)
file(WRITE ${OUT} "// Generated from ${IN}; do not edit.\n#include <string_view>\n\nnamespace samplecompany {\n\nstd::string_view ${NAME}() {\n  return R\"EMBEDDED(${content})EMBEDDED\";\n}\n\n}  // namespace samplecompany\n")
