// User tools: outside programs attached to command ids. A command of a tool runs its program,
// and the buttons of that command show the program's icon.
#pragma once

#include "platform/settings/runtime_class.h"
#include "uictl/bars/commands/command_manager.h"

#include <QIcon>
#include <memory>
#include <string>
#include <vector>

class CUxUserTool : public platform::CObject {
  KELVARA_DECLARE_RUNTIME_CLASS(CUxUserTool)

 public:
  void Serialize(platform::Archive& ar) override;
  // Starts the program (quoted, with the arguments as written, in the initial folder, never
  // through a shell), or opens any other existing file with the desktop's handler.
  virtual bool Invoke();
  // The program's small icon; the default tool icon when it cannot be found.
  virtual QIcon LoadIcon();
  virtual QIcon LoadDefaultIcon();
  virtual void DeleteIcon();

  // Another command reloads the icon; the same one in another letter case changes nothing.
  void SetCommand(const std::wstring& command);
  const std::wstring& GetCommand() const { return m_strCommand; }
  void DrawToolIcon(platform::Dc* dc, const platform::Rect& rect) const;
  // The icon on the button face colour as an image on the clipboard; failures are told to the user.
  bool CopyIconToClipboard() const;
  bool HasDefaultIcon() const { return m_bDefaultIcon; }
  const QIcon& GetIcon() const { return m_hIcon; }

  std::wstring m_strLabel;
  std::wstring m_strArguments;
  std::wstring m_strInitialDirectory;
  unsigned m_uiCmdId = 0;

 protected:
  std::wstring m_strCommand;
  QIcon m_hIcon;
  bool m_bDefaultIcon = false;
};

// The list of tools and the inclusive range of command ids kept for them. An application that
// offers tools makes one; it serves the library's lookups while it lives.
class CUxUserToolsManager : public UserToolsLookup {
 public:
  CUxUserToolsManager(unsigned entryCommand, unsigned firstCommand, unsigned lastCommand);
  ~CUxUserToolsManager() override;
  CUxUserToolsManager(const CUxUserToolsManager&) = delete;
  CUxUserToolsManager& operator=(const CUxUserToolsManager&) = delete;

  std::vector<std::unique_ptr<CUxUserTool>>& GetUserTools() { return m_lstUserTools; }
  // The tool of a command of the tools' range; null for any other command.
  CUxUserTool* FindTool(unsigned command) const;
  bool InvokeTool(unsigned command) const;

  unsigned ToolsEntryCommand() const override { return m_uiCmdToolsDummy; }
  bool IsUserToolCmd(unsigned command) const override { return command >= m_uiCmdFirst && command <= m_uiCmdLast; }
  bool DrawToolIcon(unsigned command, platform::Dc* dc, const platform::Rect& rect) const override;
  bool HasTool(unsigned command) const override { return FindTool(command) != nullptr; }

  // The installed manager's tool for a command, and running it; null and false without one.
  static CUxUserTool* ToolOf(unsigned command);
  static bool InvokeToolOf(unsigned command);

 private:
  unsigned m_uiCmdToolsDummy;
  unsigned m_uiCmdFirst;
  unsigned m_uiCmdLast;
  std::vector<std::unique_ptr<CUxUserTool>> m_lstUserTools;
};
