#include "uictl/frames/workspace_version.h"

#include "platform/settings/runtime_class.h"
#include "uictl/bars/library_globals.h"

bool workspaceDataVersionAtLeast(int major, int minor) {
  const auto* version = dynamic_cast<const UxWorkspaceDataVersion*>(workspace());
  if (!version) return true;
  const int reported = version->GetDataVersionMajor();
  return reported > major || (reported == major && version->GetDataVersionMinor() >= minor);
}
