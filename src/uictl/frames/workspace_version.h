// The data version a workspace object reports for the state it saves and loads: archives of
// older versions leave some fields out.
#pragma once

class UxWorkspaceDataVersion {
 public:
  virtual ~UxWorkspaceDataVersion() = default;
  virtual int GetDataVersionMajor() const = 0;
  virtual int GetDataVersionMinor() const = 0;
};

// True when the data version is at least major.minor. Without a workspace that reports a version,
// the data is this program's own, which is the current version.
bool workspaceDataVersionAtLeast(int major, int minor);
