// The view in which descriptions are shown, and the note page they are written to. The view shows
// local pages only: it runs no script, loads nothing remote and follows no link.
#pragma once

#include <QTextBrowser>
#include <string>

namespace pdb3 {
class DbObject;
}

class CExplorer1 : public QTextBrowser {
  Q_OBJECT

 public:
  explicit CExplorer1(QWidget* parent = nullptr);

  // Shows the local page at the path; showing the same path again reads it afresh.
  void Navigate(const std::wstring& path);

 protected:
  QVariant loadResource(int type, const QUrl& name) override;
};

// Where the note page lives: the user's private runtime folder (the program folder may be
// read-only or shared by several users). Empty when that folder cannot be had.
std::wstring notePageLocation();

// Writes the text as an HTML page (UTF-8, its line ends as line breaks, any markup in it kept) to
// the path and shows it in the view. False, with the view emptied, when the page cannot be written.
bool ShowTextInBrowser(CExplorer1& browser, const std::wstring& text, const std::wstring& htmlPath);

// Shows the element's description (element_info) in the view, or, in its place, that it could not
// be read (with the cause) or not be shown. False when it could not be read.
bool ShowElementDescription(CExplorer1& browser, const pdb3::DbObject& accessor, int eid, const std::wstring& htmlPath);
