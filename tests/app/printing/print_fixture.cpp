#include "print_fixture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include "database/engine/sql_helpers.h"
#include "services/text_helpers.h"
#include "test_env.h"

namespace printtest {

bool ScriptedPrompts::pageSetup(QWidget*, PageSetup& setup, const PrinterGeometry&) {
  ++setups;
  if (!nextSetup) return false;
  setup = *nextSetup;
  return true;
}

std::optional<PrintRange> ScriptedPrompts::printRange(QWidget*, int pageCount, int, const PrintTarget& target) {
  ++ranges;
  offered = target;
  return range ? range : PrintRange{1, pageCount};
}

bool ScriptedPrompts::chooseFont(QWidget*, TemplateFont& chosen, int (*heightOfSize)(int)) {
  if (!font) return false;
  chosen = *font;
  chosen.height = heightOfSize(chosen.size);
  return true;
}

std::optional<std::wstring> ScriptedPrompts::templateName(QWidget*, const std::wstring& current) {
  return name ? name : std::optional<std::wstring>(current);
}

PrintApp::PrintApp() {
  const QString database = dir.path() + "/database.klvdb7";
  EXPECT_TRUE(QFile::copy(QString::fromStdString(testenv::programDir()) + "/database.klvdb7", database));
  QFile::setPermissions(database, QFile::ReadOwner | QFile::WriteOwner);
  QDir(dir.path()).mkpath("print-config");
  QDir(dir.path()).mkpath("print-card-config");
  settings.databasePath.value = database.toStdWString();
  settings.printTempleteFolder.value = path(L"print-config");
  settings.printCardTempleteFolder.value = path(L"print-card-config");
  settings.cmu2ipaFilePath.value = path(L"ipamap.txt");
  app.settings = &settings;
  app.db.open(settings.databasePath.value.c_str());
}

int PrintApp::addQuestion(const std::wstring& question, const std::wstring& answer, const std::wstring& hint) {
  EXPECT_TRUE(pdb3::execSqlf(accessor(),
                             L"INSERT INTO question (question, answer, hint, description, wavfilename, pronounce, mode, "
                             L"ctime, utime) VALUES ('%ls', '%ls', '%ls', '', '', '', 0, 0, 0)",
                             escapeSqlQuotes(question).c_str(), escapeSqlQuotes(answer).c_str(),
                             escapeSqlQuotes(hint).c_str()));
  return pdb3::queryFirstInt(accessor(), L"SELECT max(qid) FROM question");
}

std::vector<int> PrintApp::addNumberedQuestions(int count) {
  std::vector<int> ids;
  pdb3::execSql(accessor(), L"BEGIN TRANSACTION");
  for (int i = 1; i <= count; ++i)
    ids.push_back(addQuestion(L"質問Q" + std::to_wstring(i) + L"E", L"answerA" + std::to_wstring(i) + L"E"));
  pdb3::execSql(accessor(), L"COMMIT");
  return ids;
}

std::vector<int> PrintApp::sampleIds() {
  std::vector<int> ids;
  pdb3::queryIntList(accessor(), ids, L"SELECT qid FROM section WHERE sid=2 ORDER BY rowid");
  return ids;
}

namespace {

std::string run(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  EXPECT_TRUE(process.waitForFinished(30000)) << program.toStdString();
  return process.readAllStandardOutput().toStdString();
}

}  // namespace

std::string pdfText(const std::wstring& pdf, int firstPage, int lastPage) {
  QStringList arguments{"-layout", "-enc", "UTF-8"};
  if (firstPage > 0) arguments << "-f" << QString::number(firstPage);
  if (lastPage > 0) arguments << "-l" << QString::number(lastPage);
  arguments << QString::fromStdWString(pdf) << "-";
  return run("pdftotext", arguments);
}

std::string pdfInfo(const std::wstring& pdf, const std::string& field) {
  const QString info = QString::fromStdString(run("pdfinfo", {QString::fromStdWString(pdf)}));
  const QRegularExpression line("^" + QRegularExpression::escape(QString::fromStdString(field)) + ":\\s*(.*)$",
                                QRegularExpression::MultilineOption);
  return line.match(info).captured(1).trimmed().toStdString();
}

}  // namespace printtest
