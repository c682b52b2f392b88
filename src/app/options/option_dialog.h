// The options dialog: a tree of pages on the left, the page chosen on the right under a banner
// with its title. OK stores the values of every page only when all of them can be stored, then
// saves the settings (another database file is saved once the main window has taken it up) and the
// web dictionaries; Cancel stores nothing and puts back the background colour a page may have
// previewed.
#pragma once

#include <QDialog>
#include <QRect>
#include <vector>

class KlvApp;
class OptionPage;
class QTreeWidget;
class QTreeWidgetItem;
class SoundQueue;

class COptionDlg : public QDialog {
  Q_OBJECT

 public:
  // The tree's item data: which page an item shows.
  enum PageId {
    kGeneralPage = 10, kReplyPage = 20, kSkinPage = 21, kVoicePage = 22, kReplyInputPage = 23,
    kReplySelectPage = 24, kReplyCardPage = 25, kFilePage = 30, kWebdicPage = 40,
  };

  // sounds: the queue the answer sounds are tried out on (the main dialog's).
  COptionDlg(KlvApp& app, SoundQueue& sounds, int firstPage = kGeneralPage, QWidget* parent = nullptr);

  // Shows the page of that id alone; false when there is no such page.
  bool ShowPage(int id);
  // Loads every page from the settings, or (save) checks every page and, when all can be stored,
  // stores them all; false, nothing stored, when one cannot.
  bool ExchangeSettings(bool save);
  // Fills the pages that have defaults with the defaults of their settings; stores nothing.
  void OnDefaults();

  QRect bannerRect() const { return banner_; }
  OptionPage* page(int id) const;

 public slots:
  void accept() override;
  void reject() override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QTreeWidgetItem* addItem(QTreeWidgetItem* parent, const wchar_t* text, int id);
  void addPage(int id, OptionPage* page);
  void selectItemOf(int id);

  KlvApp& app_;
  QTreeWidget* tree_;
  // In creation order: the order pages are checked and stored in.
  std::vector<std::pair<int, OptionPage*>> pages_;
  QRect banner_;
};

// The options command up to the refresh of its window: runs the dialog (whatever it returns),
// applies the stored background colour, and lets the agent speech program go when agent speech
// is off now. The main dialog then refreshes its pages and repaints.
void RunOptionsDialog(KlvApp& app, SoundQueue& sounds, QWidget* parent, int firstPage = COptionDlg::kGeneralPage);
