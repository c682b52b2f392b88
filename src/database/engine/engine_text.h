// Engine texts (UTF-8) as the narrow messages that exceptions and trace lines carry.
#pragma once

#include <string>

namespace sqliteplus {

// The engine's message, or `fallback` when it gave none.
std::string engineText(const char* message, const char* fallback);

}  // namespace sqliteplus
