// The web-dictionary page of the options: the list of dictionaries (checked ones appear in the
// question lists' menus), edited row by row; at most 20 rows.
#pragma once

#include "app/options/option_page.h"

class QComboBox;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;
class WebDictionaryList;

class COptionpageWebdic : public OptionPage {
  Q_OBJECT

 public:
  // list: the application's list, filled into the rows on load and from them on store.
  COptionpageWebdic(WebDictionaryList& list, QWidget* parent);

  void load(const AppSettings& settings, bool defaults) override;
  void store(AppSettings& settings) override;
  bool takesDefaults() const override { return false; }

  void OnAdd();
  void OnChange();
  void OnDelete();
  void OnUp();
  void OnDown();

 private:
  void onRowSelected();
  void fillRow(QTreeWidgetItem* row) const;
  // Puts the row at `to` in place of its neighbour, keeping it selected and focused.
  void moveRow(int from, int to);

  WebDictionaryList& list_;
  QTreeWidget* rows_;
  QComboBox* type_;
  QLineEdit* title_;
  QLineEdit* head_;
  QLineEdit* foot_;
  bool changingRows_ = false;
};
