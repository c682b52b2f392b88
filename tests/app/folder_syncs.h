// Which folders the program syncs. Every fsync of this test program passes through here on its way
// to the system, and still syncs; while a FolderSyncs lives, the folders synced are kept, so that a
// test can tell a rename that outlasts a crash from one a crash may take back.
#pragma once

#include <string>
#include <vector>

namespace apptest {

class FolderSyncs {
 public:
  FolderSyncs();
  ~FolderSyncs();
  FolderSyncs(const FolderSyncs&) = delete;
  FolderSyncs& operator=(const FolderSyncs&) = delete;

  // The folders synced so far, as the system names them (links resolved), in order.
  std::vector<std::string> synced() const;
};

}  // namespace apptest
