// What every test executable shares: an isolated home and configuration, and the project's folders.
#pragma once

#include <string>

namespace testenv {

// The source tree (resources/ and fixtures live there).
std::string sourceDir();
// The build's program folder: the executable and the files start-up asks for.
std::string programDir();
// A folder private to this test process; HOME, XDG_CONFIG_HOME and XDG_RUNTIME_DIR point below it.
std::string processDir();

}  // namespace testenv
