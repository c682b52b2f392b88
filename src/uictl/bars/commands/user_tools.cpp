#include "uictl/bars/commands/user_tools.h"

#include "platform/settings/archive.h"
#include "platform/windows/notifier.h"
#include "platform/files/process.h"
#include "platform/files/shell_open.h"
#include "platform/drawing/system_metrics.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/library_globals.h"

#include <QClipboard>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QGuiApplication>
#include <exception>

using namespace platform;

KELVARA_IMPLEMENT_RUNTIME_CLASS(CUxUserTool, CObject, kVersionableSchema | 1, createInstance<CUxUserTool>)

namespace {

QFileInfo fileOf(const std::wstring& path) { return QFileInfo(QString::fromStdWString(path)); }

Size smallIconSize() { return {getSystemMetrics(SmCxSmIcon), getSystemMetrics(SmCySmIcon)}; }

void tellCopyFailed(unsigned message) {
  messageBox(nullptr, libraryString(message), L"", MbOk | MbIconError);
}

}  // namespace

void CUxUserTool::Serialize(Archive& ar) {
  if (ar.IsStoring()) {
    ar.writeString(m_strLabel);
    ar.writeString(m_strCommand);
    ar.writeString(m_strArguments);
    ar.writeString(m_strInitialDirectory);
    ar.writeU32(m_uiCmdId);
    return;
  }
  m_strLabel = ar.readString();
  const std::wstring command = ar.readString();
  m_strArguments = ar.readString();
  m_strInitialDirectory = ar.readString();
  m_uiCmdId = ar.readU32();
  SetCommand(command);
}

bool CUxUserTool::Invoke() {
  if (m_strCommand.empty()) return false;
  if (const std::optional<std::wstring> program = findProgram(m_strCommand)) {
    std::wstring commandLine = L"\"" + *program + L"\"";
    if (!m_strArguments.empty()) commandLine += L" " + m_strArguments;
    return startProcess(commandLine, m_strInitialDirectory).has_value();
  }
  const QFileInfo file = fileOf(m_strCommand);
  return file.exists() && shellOpen(file.absoluteFilePath().toStdWString());
}

QIcon CUxUserTool::LoadIcon() {
  std::wstring path = m_strCommand;
  if (path.find(L'/') == std::wstring::npos) {
    const std::optional<std::wstring> found = findProgram(path);
    if (!found) return LoadDefaultIcon();
    path = *found;
  }
  const QFileInfo file = fileOf(path);
  if (!file.exists()) return LoadDefaultIcon();
  const QIcon icon = QFileIconProvider().icon(file);
  const Size size = smallIconSize();
  if (icon.isNull() || icon.pixmap(QSize(size.cx, size.cy)).isNull()) return LoadDefaultIcon();
  m_bDefaultIcon = false;
  return icon;
}

QIcon CUxUserTool::LoadDefaultIcon() {
  m_bDefaultIcon = true;
  return globalData().ToolIcon();
}

void CUxUserTool::DeleteIcon() {
  m_hIcon = QIcon();
  m_bDefaultIcon = false;
}

void CUxUserTool::SetCommand(const std::wstring& command) {
  const bool same =
      QString::fromStdWString(command).compare(QString::fromStdWString(m_strCommand), Qt::CaseInsensitive) == 0;
  if (same && !m_hIcon.isNull()) return;
  m_strCommand = command;
  DeleteIcon();
  m_hIcon = LoadIcon();
}

void CUxUserTool::DrawToolIcon(Dc* dc, const Rect& rect) const {
  const Size size = smallIconSize();
  const QImage image = m_hIcon.pixmap(QSize(size.cx, size.cy)).toImage();
  dc->drawImage(rect.left + std::max(0, (rect.width() - size.cx) / 2),
                rect.top + std::max(0, (rect.height() - size.cy) / 2), image);
}

bool CUxUserTool::CopyIconToClipboard() const {
  try {
    const Size size = smallIconSize();
    QImage bitmap(size.cx, size.cy, QImage::Format_RGB32);
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (bitmap.isNull() || !clipboard) {
      tellCopyFailed(kStringClipboardFailed);
      return false;
    }
    {
      Dc dc(bitmap);
      dc.fillRect(dc.bounds(), globalData().brBtnFace);
      DrawToolIcon(&dc, dc.bounds());
    }
    clipboard->setImage(bitmap);
    return true;
  } catch (const std::exception&) {
    tellCopyFailed(kStringCopyError);
    return false;
  }
}

CUxUserToolsManager::CUxUserToolsManager(unsigned entryCommand, unsigned firstCommand, unsigned lastCommand)
    : m_uiCmdToolsDummy(entryCommand), m_uiCmdFirst(firstCommand), m_uiCmdLast(lastCommand) {
  setUserToolsLookup(this);
}

CUxUserToolsManager::~CUxUserToolsManager() {
  if (userToolsLookup() == this) setUserToolsLookup(nullptr);
}

CUxUserTool* CUxUserToolsManager::FindTool(unsigned command) const {
  if (!IsUserToolCmd(command)) return nullptr;
  for (const auto& tool : m_lstUserTools)
    if (tool->m_uiCmdId == command) return tool.get();
  return nullptr;
}

bool CUxUserToolsManager::InvokeTool(unsigned command) const {
  CUxUserTool* tool = FindTool(command);
  return tool && tool->Invoke();
}

bool CUxUserToolsManager::DrawToolIcon(unsigned command, Dc* dc, const Rect& rect) const {
  const CUxUserTool* tool = FindTool(command);
  if (!tool) return false;
  tool->DrawToolIcon(dc, rect);
  return true;
}

CUxUserTool* CUxUserToolsManager::ToolOf(unsigned command) {
  const auto* manager = dynamic_cast<const CUxUserToolsManager*>(userToolsLookup());
  return manager ? manager->FindTool(command) : nullptr;
}

bool CUxUserToolsManager::InvokeToolOf(unsigned command) {
  CUxUserTool* tool = ToolOf(command);
  return tool && tool->Invoke();
}
