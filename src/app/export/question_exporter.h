// Problem sets written as files: a comma-separated file in code page 932 with CR LF line ends, a
// tab-separated UTF-16LE file for spreadsheets, and aligned UTF-16LE text. Every file is written
// whole or not at all, so a failed export leaves an earlier file as it was.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "database/records/question.h"

// The bytes of an export file, line by line.
class ExportStream {
 public:
  enum class Encoding {
    // Code page 932 (a character it lacks becomes "?"), every line feed written as CR LF.
    cp932CrLf,
    // UTF-16LE, line feeds as they are.
    utf16le,
  };
  explicit ExportStream(Encoding encoding) : encoding_(encoding) {}

  void writeLine(const std::wstring& line);
  void writeRaw(std::string_view bytes) { bytes_ += bytes; }
  const std::string& bytes() const { return bytes_; }
  // Replaces the file with what was written; false when any step of the write failed.
  bool save(const std::wstring& fileName) const;

 private:
  Encoding encoding_;
  std::string bytes_;
};

// The byte-order mark FF FE of a UTF-16LE file.
void WriteUtf16Bom(ExportStream& stream);

// Why an export wrote nothing: the questions could not be read, or the file not written.
enum class ExportFailure { none, read, write };

// Export modes of the delimited forms.
enum ExportMode { kCommaSeparated = 0, kTabSeparated = 2 };

// The fields as one line: "," between them in mode 0, TAB in modes 1 and 2. A field holding a
// comma, a double quote or a line break (or a TAB, between TABs) is quoted, its quotes doubled.
std::wstring JoinCsvFields(const std::vector<std::wstring>& fields, int mode);

class QuestionExporter {
 public:
  QuestionExporter(int mode, const pdb3::DbObject& accessor) : mode(mode), accessor(accessor) {}

  // The set's head lines and its questions in list order, as one file. False, with the file as it
  // was, when anything could not be read or the file not written (`failure` tells which).
  bool WriteFile(int eid, const std::deque<int>& ids, const std::wstring& fileName,
                 ExportFailure* failure = nullptr) const;
  // The marker line, the set's name, author and writer, and its description (one field per line
  // of it). False when the set cannot be read.
  bool WriteCsvHeader(int eid, ExportStream& stream) const;
  // The column names, then 14 fields per question. False when a question cannot be read.
  bool WriteQuestions(const std::deque<int>& ids, ExportStream& stream) const;
  static std::wstring BuildQuestionFields(const pdb3::Question& question, int mode);
  static std::wstring ColumnNames(int mode);

  int mode;
  pdb3::DbObject accessor;
};

// The aligned text form: the questions' rows (see FormatQuestionRows) after a byte-order mark.
bool WriteQuestionText(const pdb3::DbObject& accessor, const std::deque<int>& ids, const std::wstring& fileName,
                       ExportFailure* failure = nullptr);
