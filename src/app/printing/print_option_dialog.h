// The sheet template editor: lists the template files of the template folder, edits one working
// copy (fixed texts, regions, header and footer), creates, renames and deletes templates, and
// hands the result to the print window on Apply and OK.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "app/printing/print_template.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class TemplateEditorHost;

class CPrintoptionDlg : public QDialog {
  Q_OBJECT

 public:
  CPrintoptionDlg(TemplateEditorHost& host, QWidget* parent = nullptr);

  void accept() override;  // Apply, then close when that succeeded
  // Writes the working copy to the selected template's file and hands it to the window; false
  // (after telling the user) when a value or the file write was refused.
  bool Apply();

  const PrintTemplate& workingTemplate() const { return working_; }
  const std::vector<std::wstring>& templatePaths() const { return paths_; }

 private:
  QWidget* buildTextGroup();
  QWidget* buildRegionGroup();
  QWidget* buildMarginGroup();
  void fillTemplateList();
  // Stores the controls into the working copy (false when a number is refused) or shows it.
  bool ExchangeSelection(bool store);
  void UpdateEnables();
  void selectTextAndRegion(int text, int region);
  // Writes the working copy to the entry's file; false after telling why.
  bool saveWorking(int position);
  // The template of the entry; false after telling why it could not be read.
  bool readTemplateAt(int position, PrintTemplate& read);
  std::wstring pathAt(int position) const;
  // The default template's entry (or no entry) is neither renamed nor deleted.
  bool isDefaultEntry(int position) const;
  std::vector<std::wstring> listedNames(int except = -1) const;

  // Another fixed text or region chosen in its list.
  void onEntryChosen(QListWidget* list, int row);
  void onTemplateChosen(int position);
  void onNewTemplate();
  void onRenameTemplate();
  void onDeleteTemplate();
  void onSpinLineHeight(int steps);
  void onFont(TemplateFont& font);

  TemplateEditorHost& host_;
  PrintTemplate working_;
  std::vector<std::wstring> paths_;
  int position_ = 0;  // the template list entry the working copy belongs to
  int text_ = 0;
  int region_ = 0;
  bool switching_ = false;

  QComboBox* templates_ = nullptr;
  QListWidget* textList_ = nullptr;
  QCheckBox* textShow_ = nullptr;
  QLineEdit* text_edit_ = nullptr;
  QLineEdit* textX_ = nullptr;
  QLineEdit* textY_ = nullptr;
  QWidget* textFont_ = nullptr;
  QListWidget* regionList_ = nullptr;
  QCheckBox* regionShow_ = nullptr;
  QLineEdit* regionY_ = nullptr;
  QComboBox* mode_ = nullptr;
  QLineEdit* lineHeight_ = nullptr;
  QCheckBox* numbered_ = nullptr;
  QLineEdit* regionText_ = nullptr;
  QWidget* regionFont_ = nullptr;
  QLineEdit* regionX_ = nullptr;
  QLineEdit* regionWidth_ = nullptr;
  QWidget* lineHeightSpin_ = nullptr;
  QLineEdit* margins_[kMarginTexts] = {};
};
