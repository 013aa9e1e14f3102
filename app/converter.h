#pragma once
// The converter's whole run inside an existing Qt application object: start-up
// with its settings and command line, then the wizard to its end.
#include <string>
#include <vector>

// `arguments` is the command line without the program's own name. Answers the
// program's exit code: 1 when start-up could not get going, else 0.
int RunConverter(const std::vector<std::string>& arguments);
