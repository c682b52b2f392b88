#include "app/main/note_browser.h"

#include <QFileInfo>
#include <QUrl>

#include "app/common/page_reads.h"
#include "platform/files/file_system.h"
#include "platform/files/folders.h"
#include "platform/text.h"
#include "platform/trace.h"
#include "services/database_failure.h"

namespace {

// Line ends of either convention become breaks: descriptions written on this system end their
// lines with a line feed alone.
std::wstring withLineBreaks(const std::wstring& text) {
  std::wstring out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') {
      out += L"<br>";
      ++i;
    } else if (text[i] == L'\n') {
      out += L"<br>";
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

CExplorer1::CExplorer1(QWidget* parent) : QTextBrowser(parent) {
  setOpenLinks(false);
  setOpenExternalLinks(false);
}

void CExplorer1::Navigate(const std::wstring& path) {
  const QUrl url = QUrl::fromLocalFile(QString::fromStdWString(path));
  if (source() == url) {
    reload();
  } else {
    setSource(url, QTextDocument::HtmlResource);
  }
}

QVariant CExplorer1::loadResource(int type, const QUrl& name) {
  if (!name.isLocalFile() && !name.isRelative() && name.scheme() != QLatin1String("qrc")) return QVariant();
  return QTextBrowser::loadResource(type, name);
}

std::wstring notePageLocation() {
  const auto folder = platform::privateRuntimeFolder();
  return folder ? platform::fromUtf8(*folder + "/___note.html") : std::wstring();
}

bool ShowTextInBrowser(CExplorer1& browser, const std::wstring& text, const std::wstring& htmlPath) {
  const std::wstring page = L"<html><head><meta charset=\"utf-8\"></head><body>\n" + withLineBreaks(text) +
                            L"\n</body></html>";
  if (htmlPath.empty() || !platform::writeFileAtomically(htmlPath, platform::toUtf8(page))) {
    // The page shown before was written for another text: it must not pass for this one.
    browser.clear();
    return false;
  }
  browser.Navigate(htmlPath);
  return true;
}

bool ShowElementDescription(CExplorer1& browser, const pdb3::DbObject& accessor, int eid, const std::wstring& htmlPath) {
  std::wstring description;
  // An empty view would read as a set without a description.
  if (!pagereads::readText(accessor, platform::format(L"SELECT description FROM element_info WHERE eid=%d", eid),
                           description)) {
    browser.setPlainText(QString::fromStdWString(databaseFailureText(L"説明を読み込めませんでした。")));
    return false;
  }
  if (!ShowTextInBrowser(browser, description, htmlPath))
    browser.setPlainText(QString::fromStdWString(L"説明を表示できませんでした。"));
  return true;
}
