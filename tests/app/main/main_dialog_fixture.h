// The main window over the fixture's element tree, opened as start-up opens it, and the modal
// windows it brings up answered by their object names.
#pragma once

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <map>

#include "app/main/main_dialog.h"
#include "app/main/folder_tree.h"
#include "app/main/select_section_dialog.h"
#include "element_tree_fixture.h"
#include "uictl/frames/frames_library.h"
#include "uictl/frames/outlook/outlook_bar.h"

namespace apptest {

// Answers the modal windows that come up by their object names and counts them.
class ModalAnswers {
 public:
  using Handler = std::function<void(QDialog&)>;
  explicit ModalAnswers(std::map<QString, Handler> handlers) : handlers_(std::move(handlers)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (!dialog || dialog == last_ || !handlers_.count(dialog->objectName())) return;
      last_ = dialog;
      ++seen[dialog->objectName()];
      handlers_[dialog->objectName()](*dialog);
    });
    timer_.start(10);
  }
  std::map<QString, int> seen;

 private:
  std::map<QString, Handler> handlers_;
  QPointer<QDialog> last_;
  QTimer timer_;
};

inline void reject(QDialog& dialog) { QTimer::singleShot(0, &dialog, &QDialog::reject); }

// The tree dialog answering with the element given.
inline ModalAnswers::Handler chooseInTree(int eid) {
  return [eid](QDialog& dialog) {
    auto& chooser = static_cast<CSelectSectionDlg&>(dialog);
    chooser.tree().SelectEidFromRoot(eid);
    chooser.accept();
  };
}

struct MainApp : TreeApp {
  explicit MainApp(const std::wstring& lastSection = L"Alpha/deep/Apple") {
    settings.lastSection.value = lastSection;
    settings.lastSelectedTabId.value = 0;
    setOutlookAnimationSleeper([](int) {});  // the bar slides in no time
  }
  ~MainApp() { setOutlookAnimationSleeper(nullptr); }
  // The dialog initialised and shown; false when it ended at once.
  bool open() {
    if (!dialog.OnInitDialog()) return false;
    dialog.show();
    return true;
  }
  QWidget* control(int id) { return dialog.findChild<QWidget*>(QString("id%1").arg(id)); }
  QStringList recentEntries() {
    QStringList out;
    for (int i = 0; i < dialog.recentCombo().count(); ++i) out << dialog.recentCombo().itemText(i);
    return out;
  }
  UxFramesLibrary library;
  MainDialog dialog{app};
};

}  // namespace apptest
