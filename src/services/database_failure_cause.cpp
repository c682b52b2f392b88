#include "services/database_failure_cause.h"

#include "database/engine_failure.h"
#include "database/engine_refusal.h"

std::wstring databaseFailureCause() {
  using sqliteplus::EngineFailure;
  const EngineFailure failure = sqliteplus::lastEngineFailure();
  if (failure == EngineFailure::none) return {};
  // A refused change is "other" to the engine, but the trigger that refused it says why.
  if (failure == EngineFailure::other && !sqliteplus::lastEngineRefusal().empty())
    return sqliteplus::lastEngineRefusal();
  return sqliteplus::engineFailureCause(failure);
}
