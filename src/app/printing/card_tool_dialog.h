// The card tool: the card template's front and back items placed on a card of a given size, with
// a preview of one card for one chosen question. Cards are designed here; printing them is not
// offered (its buttons and menu items stay disabled).
#pragma once

#include <QDialog>
#include <map>
#include <string>
#include <vector>

#include "app/printing/card_template.h"
#include "app/printing/region_text.h"
#include "database/records/question.h"

class KlvApp;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSlider;
class QTabBar;
namespace study {
class PronouncingDictionary;
}

class CPrintToolDlg;

class CPrintpageCardSetting : public QWidget {
  Q_OBJECT

 public:
  CPrintpageCardSetting(CPrintToolDlg& tool, QWidget* parent);

  // Lists the card templates (loaded from `loadedPath`) and shows the front side.
  void Initialize(const std::wstring& loadedPath);
  // Stores the shown item from the controls into the card template.
  void SaveItem();
  // The template file the card template was loaded from (closing writes it there).
  std::wstring loadedPath() const;

  int side() const;  // 0 front, 1 back
  std::vector<CardItem>& items();
  int selectedItem() const { return selected_; }
  double previewScale() const { return scale_; }
  QWidget* previewControl() const { return preview_; }
  void paintPreview(QPainter& painter);

 private:
  void LoadItems();
  // Selects the item at row of the list (without the list's own signal) and shows it.
  void selectRow(int row);
  // The controls, enables and preview after the selection or the items changed.
  void showSelectedItem();
  bool hasSelection();
  void ExchangeItem(bool save);
  void UpdateEnables();
  void UpdatePreviewSize();
  void onTemplateChosen(int position);
  void onAddItem();
  void onDeleteItem();
  void onModeChanged();
  void onFont();
  void changed();

  CPrintToolDlg& tool_;
  std::vector<std::wstring> paths_;
  int loadedPosition_ = -1;
  double scale_ = 1.0;
  int selected_ = -1;
  bool loading_ = false;

  QComboBox* templates_ = nullptr;
  QTabBar* sides_ = nullptr;
  QDoubleSpinBox* cardWidth_ = nullptr;
  QDoubleSpinBox* cardHeight_ = nullptr;
  QWidget* preview_ = nullptr;
  QLabel* scaleLabel_ = nullptr;
  QSlider* question_ = nullptr;
  QListWidget* itemList_ = nullptr;
  QPushButton* addItem_ = nullptr;
  QPushButton* deleteItem_ = nullptr;
  QComboBox* mode_ = nullptr;
  QLineEdit* text_ = nullptr;
  QDoubleSpinBox* x_ = nullptr;
  QDoubleSpinBox* y_ = nullptr;
  QPushButton* font_ = nullptr;
  QCheckBox* printBorder_ = nullptr;
};

class CPrintToolDlg : public QDialog {
  Q_OBJECT

 public:
  // questionIds: the questions the preview can show, read here once (a failure is told, and the
  // tool then never opens); dictionary may be null.
  CPrintToolDlg(KlvApp& app, study::PronouncingDictionary* dictionary, std::vector<int> questionIds,
                QWidget* parent = nullptr);
  ~CPrintToolDlg() override;

  CardTemplate cardTemplate;
  const std::vector<int>& questionIds() const { return ids_; }
  std::wstring cardFolder() const { return folder_; }
  // The text of an item for the question as the preview shows it: "<" label ">" when empty.
  std::wstring previewText(const CardItem& item, int questionId) const;
  CPrintpageCardSetting& page() { return *page_; }

  // Rejected at once, without showing, when the questions or the default template could not be read.
  int exec() override;
  void done(int result) override;  // writes the card template before the tool goes
  // Writes the card template to path; a failure is told to the user.
  void saveTemplateTo(const std::wstring& path);
  // Reads the card template from path (the built-in one when the file is missing); false after
  // telling `owner` why it could not be read, the card template as it was.
  bool loadTemplateFrom(const std::wstring& path, QWidget* owner);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void layoutControls();

  std::vector<int> ids_;
  std::map<int, pdb3::Question> questions_;  // by qid
  bool opened_ = false;  // the questions and the default template were read
  std::wstring folder_;
  std::vector<std::wstring> symbols_;
  RegionTextSources sources_;
  CPrintpageCardSetting* page_ = nullptr;
  std::vector<QPushButton*> buttons_;
  bool saved_ = false;
};
