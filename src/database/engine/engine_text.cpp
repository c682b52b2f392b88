#include "database/engine/engine_text.h"

#include "database/engine/text_conversion.h"

namespace sqliteplus {

std::string engineText(const char* message, const char* fallback) {
  if (!message || !*message) return fallback;
  // Through the wide form, so a malformed byte sequence cannot travel on into a trace line.
  return WStringToAcp(Utf8ToWString(message));
}

}  // namespace sqliteplus
