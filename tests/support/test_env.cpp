#include "test_env.h"

#include <cstdlib>

namespace testenv {
namespace {

std::string fromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

std::string sourceDir() { return fromEnvironment("KELVARA_SOURCE_DIR"); }
std::string programDir() { return fromEnvironment("KELVARA_PROGRAM_DIR"); }
std::string processDir() { return fromEnvironment("KELVARA_TEST_PROCESS_DIR"); }

}  // namespace testenv
