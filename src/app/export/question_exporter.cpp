#include "app/export/question_exporter.h"

#include <QtEndian>

#include "app/common/page_reads.h"
#include "database/engine/read_transaction.h"
#include "database/engine/sql_helpers.h"
#include "platform/files/file_system.h"
#include "platform/trace.h"
#include "platform/text.h"
#include "services/question_rows.h"
#include "services/text_edit.h"

namespace {

constexpr wchar_t kCsvMarker[] = L"klvcsvfile";
constexpr int kCsvVersion = 100;
constexpr int kAnswerFields = 5;
constexpr int kQuestionFields = 5;
constexpr int kHintFields = 3;

wchar_t separatorOf(int mode) {
  if (mode == 0) return L',';
  if (mode == 1 || mode == 2) return L'\t';
  return 0;
}

bool needsQuotes(const std::wstring& field, wchar_t separator) {
  // Unquoted, a line break splits the row and a TAB the column for every reader of the file.
  for (wchar_t c : field)
    if (c == L',' || c == L'"' || c == L'\r' || c == L'\n' || (c == L'\t' && separator == L'\t')) return true;
  return false;
}

}  // namespace

void ExportStream::writeLine(const std::wstring& line) {
  const std::wstring text = line + L'\n';
  if (encoding_ == Encoding::cp932CrLf) {
    // Written as a text-mode stream writes it: every line feed, inside a field too, as CR LF.
    for (char c : platform::toCp932(text)) {
      if (c == '\n') bytes_ += '\r';
      bytes_ += c;
    }
    return;
  }
  for (char16_t unit : platform::toUtf16(text)) {
    const char16_t little = qToLittleEndian(unit);
    bytes_.append(reinterpret_cast<const char*>(&little), sizeof little);
  }
}

bool ExportStream::save(const std::wstring& fileName) const {
  return !fileName.empty() && platform::writeFileAtomically(fileName, bytes_);
}

void WriteUtf16Bom(ExportStream& stream) { stream.writeRaw("\xFF\xFE"); }

std::wstring JoinCsvFields(const std::vector<std::wstring>& fields, int mode) {
  const wchar_t separator = separatorOf(mode);
  std::wstring line;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i > 0 && separator != 0) line += separator;
    if (!needsQuotes(fields[i], separator)) {
      line += fields[i];
      continue;
    }
    std::wstring quoted = fields[i];
    replaceAll(quoted, L"\"", L"\"\"");
    line += L'"' + quoted + L'"';
  }
  return line;
}

namespace {

// The file is replaced only when everything was read: an export that could not read its
// questions must not leave an empty or partial file in place of the earlier one.
bool saveExport(const ExportStream& stream, bool read, const std::wstring& fileName, ExportFailure* failure) {
  const ExportFailure result = !read ? ExportFailure::read : stream.save(fileName) ? ExportFailure::none
                                                                                  : ExportFailure::write;
  if (failure) *failure = result;
  return result == ExportFailure::none;
}

}  // namespace

bool QuestionExporter::WriteFile(int eid, const std::deque<int>& ids, const std::wstring& fileName,
                                 ExportFailure* failure) const {
  ExportStream stream(mode == kCommaSeparated ? ExportStream::Encoding::cp932CrLf : ExportStream::Encoding::utf16le);
  if (mode != kCommaSeparated) WriteUtf16Bom(stream);
  bool read = false;
  {
    const pdb3::ReadTransaction transaction(accessor);
    read = WriteCsvHeader(eid, stream) && WriteQuestions(ids, stream);
  }
  return saveExport(stream, read, fileName, failure);
}

bool QuestionExporter::WriteCsvHeader(int eid, ExportStream& stream) const {
  std::vector<std::wstring> names(3);
  std::wstring text;
  const pdb3::FirstRow row = pdb3::readFirstRow(
      accessor, platform::format(L"SELECT name, author, writer, description FROM element_info WHERE eid=%d", eid),
      [&](const sqliteplus::SqliteCursor& cursor) {
        for (int i = 0; i < 4; ++i) (i < 3 ? names[i] : text) = cursor.isNull(i) ? std::wstring() : cursor.getString(i);
      });
  if (row == pdb3::FirstRow::failed) return false;
  stream.writeLine(JoinCsvFields({kCsvMarker, std::to_wstring(kCsvVersion)}, mode));
  stream.writeLine(JoinCsvFields(names, mode));
  std::vector<std::wstring> description = pdb3::splitTextList(text);
  if (description.empty()) description.emplace_back();
  stream.writeLine(JoinCsvFields(description, mode));
  return true;
}

bool QuestionExporter::WriteQuestions(const std::deque<int>& ids, ExportStream& stream) const {
  std::vector<pdb3::Question> questions;
  if (!pagereads::readQuestions(accessor, {ids.begin(), ids.end()}, questions)) return false;
  stream.writeLine(ColumnNames(mode));
  for (const pdb3::Question& question : questions) stream.writeLine(BuildQuestionFields(question, mode));
  return true;
}

std::wstring QuestionExporter::BuildQuestionFields(const pdb3::Question& question, int mode) {
  std::vector<std::wstring> fields;
  for (int i = 0; i < kAnswerFields; ++i) fields.push_back(question.answerText(i));
  for (int i = 0; i < kQuestionFields; ++i) fields.push_back(question.questionText(i));
  for (int i = 0; i < kHintFields; ++i) fields.push_back(pdb3::textListAt(question.hintTexts(), i));
  fields.push_back(question.wavFileName());
  return JoinCsvFields(fields, mode);
}

std::wstring QuestionExporter::ColumnNames(int mode) {
  return JoinCsvFields({L"a1", L"a2", L"a3", L"a4", L"a5", L"q1", L"q2", L"q3", L"q4", L"q5", L"h1", L"h2", L"h3",
                        L"wavfile"},
                       mode);
}

bool WriteQuestionText(const pdb3::DbObject& accessor, const std::deque<int>& ids, const std::wstring& fileName,
                       ExportFailure* failure) {
  std::vector<pdb3::Question> questions;
  if (!pagereads::readQuestions(accessor, {ids.begin(), ids.end()}, questions))
    return saveExport(ExportStream(ExportStream::Encoding::utf16le), false, fileName, failure);
  const int width = MaxQuestionWidth(questions);
  TextExportBuffer buffer;
  for (const pdb3::Question& question : questions) FormatQuestionRows(buffer, question, width);
  ExportStream stream(ExportStream::Encoding::utf16le);
  WriteUtf16Bom(stream);
  for (const std::wstring& line : buffer.lines) stream.writeLine(line);
  return saveExport(stream, true, fileName, failure);
}
