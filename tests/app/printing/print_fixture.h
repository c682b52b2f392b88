// An application for the printing tests: a copy of the default database, settings whose template
// folders and symbol map lie in a fresh folder, and message boxes and print dialogs answered.
#pragma once

#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

#include "../platform/scoped_env.h"
#include "app/shell/klv_app.h"
#include "app/printing/print_prompts.h"
#include "database/records/db_object.h"
#include "services/app_settings.h"

namespace printtest {

// Answers the print dialogs as a test sets them up, and counts them.
struct ScriptedPrompts : PrintPrompts {
  bool pageSetup(QWidget*, PageSetup& setup, const PrinterGeometry&) override;
  std::optional<PrintRange> printRange(QWidget*, int pageCount, int, const PrintTarget&) override;
  bool chooseFont(QWidget*, TemplateFont& font, int (*heightOfSize)(int)) override;
  std::optional<std::wstring> templateName(QWidget*, const std::wstring& name) override;

  std::optional<PageSetup> nextSetup;
  std::optional<PrintRange> range;  // none: every page
  PrintTarget offered;  // by the last page-range dialog
  std::optional<TemplateFont> font;
  std::optional<std::wstring> name;
  int setups = 0;
  int ranges = 0;
};

class PrintApp {
 public:
  PrintApp();

  pdb3::DbObject accessor() { return pdb3::openQuery(app.db); }
  // Questions added with the texts given (fields: question, answer; several texts joined by "\r\n").
  int addQuestion(const std::wstring& question, const std::wstring& answer, const std::wstring& hint = L"");
  std::vector<int> addNumberedQuestions(int count);
  // The sample set's questions in their order.
  std::vector<int> sampleIds();
  std::wstring path(const std::wstring& name) const { return dir.path().toStdWString() + L"/" + name; }

  QTemporaryDir dir;
  KlvApp app;
  AppSettings settings{L"KLV7"};
  testenv::BoxRecorder boxes{platform::IdYes};
  ScriptedPrompts prompts;

 private:
  PrintPromptsOverride promptsGuard_{prompts};
};

// The dialog's control of that id (the test fails when there is none).
template <typename T>
T* control(QWidget& dialog, int id) {
  T* found = dialog.findChild<T*>(QString("id%1").arg(id));
  EXPECT_NE(found, nullptr) << id;
  return found;
}

// The text pdftotext reads from the file (layout kept), and pdfinfo's field ("Pages", "Title").
std::string pdfText(const std::wstring& pdf, int firstPage = 0, int lastPage = 0);
std::string pdfInfo(const std::wstring& pdf, const std::string& field);

}  // namespace printtest
