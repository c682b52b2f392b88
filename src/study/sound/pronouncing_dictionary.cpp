#include "study/sound/pronouncing_dictionary.h"

#include "platform/text.h"
#include "services/buffered_file_reader.h"
#include "study/sound/phoneme_codes.h"

#include <QtEndian>
#include <sys/stat.h>

#include <cstring>

namespace study {
namespace {

// The index is read once at start-up, a byte or a word at a time, through one large buffer.
constexpr size_t kIndexBufferSize = 102400;

}  // namespace

std::string upperCaseCp932(std::string_view word) {
  std::string upper(word);
  for (size_t i = 0; i < upper.size(); ++i) {
    const auto c = static_cast<unsigned char>(upper[i]);
    if (platform::isCp932LeadByte(c)) ++i;
    else if (c >= 'a' && c <= 'z') upper[i] = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

std::string_view cutCp932(std::string_view text, size_t maxBytes) {
  size_t end = 0;
  while (end < text.size()) {
    const size_t length = platform::isCp932LeadByte(static_cast<unsigned char>(text[end])) && end + 1 < text.size() ? 2 : 1;
    if (end + length > maxBytes) break;
    end += length;
  }
  return text.substr(0, end);
}

bool PronouncingDictionary::openIndex(const std::string& dataPath, const std::string& indexPath) {
  entries_.clear();
  platform::UniqueFile index(std::fopen(indexPath.c_str(), "rb"));
  if (!index) return false;
  data_.reset(std::fopen(dataPath.c_str(), "rb"));
  if (!data_) return false;
  if (readIndex(index.get())) return true;
  entries_.clear();
  return false;
}

bool PronouncingDictionary::readIndex(FILE* index) {
  struct stat status {};
  if (::fstat(fileno(index), &status) != 0) return false;
  const uint64_t fileSize = static_cast<uint64_t>(status.st_size);

  BufferedFileReader reader(index, kIndexBufferSize);
  auto read = [&reader](void* destination, size_t size) { return size == 0 || reader.Read(destination, size, 1) == 1; };

  char header[kDictionaryHeaderSize];
  if (!read(header, sizeof header) || std::memcmp(header, kIndexFileMagic.data(), kIndexFileMagic.size()) != 0)
    return false;
  unsigned char countBytes[4];
  if (!read(countBytes, sizeof countBytes)) return false;
  const uint32_t count = qFromLittleEndian<quint32>(countBytes);
  // Every entry takes at least two bytes: a count beyond that is a damaged file, not a reason to
  // allocate gigabytes.
  if (count > (fileSize - kDictionaryHeaderSize - sizeof countBytes) / 2) return false;

  entries_.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    Entry entry;
    unsigned char length = 0;
    if (!read(&length, 1)) return false;
    entry.word.resize(length);
    if (!read(entry.word.data(), length)) return false;
    unsigned char readings = 0;
    if (!read(&readings, 1)) return false;
    std::vector<unsigned char> offsets(readings * 4u);
    if (!read(offsets.data(), offsets.size())) return false;
    for (size_t k = 0; k < readings; ++k) entry.offsets.push_back(qFromLittleEndian<quint32>(&offsets[k * 4]));
    entries_.push_back(std::move(entry));
  }
  return true;
}

bool PronouncingDictionary::ReadEntry(const std::string& word, std::vector<PhonemeCodes>& records) {
  records.clear();
  if (!data_) return false;
  const std::string key = upperCaseCp932(word);
  for (const Entry& entry : entries_) {
    if (entry.word != key) continue;
    for (uint32_t offset : entry.offsets) {
      if (std::fseek(data_.get(), static_cast<long>(offset), SEEK_SET) != 0) continue;
      const int length = std::fgetc(data_.get());
      if (length == EOF) continue;
      PhonemeCodes record(static_cast<size_t>(length));
      if (std::fread(record.data(), 1, record.size(), data_.get()) != record.size()) continue;
      records.push_back(std::move(record));
    }
    break;
  }
  return !records.empty();
}

int PronouncingDictionary::PhonemeCode(std::string_view name) const { return phonemeCodeOf(name); }

bool PronouncingDictionary::LookupPhrase(const std::wstring& text, PhonemeCodes& codes) {
  codes.clear();
  const std::string cp932 = platform::toCp932(text);
  return PronounceSentence(*this, std::string(cutCp932(cp932, 99)), codes);
}

bool PronounceWord(PronouncingDictionary& dictionary, const std::string& word, PhonemeCodes& codes) {
  std::vector<PhonemeCodes> records;
  if (dictionary.ReadEntry(word, records)) {
    codes.insert(codes.end(), records.front().begin(), records.front().end());
    return true;
  }
  codes.push_back(kWordGapCode);
  return false;
}

bool PronounceSentence(PronouncingDictionary& dictionary, const std::string& text, PhonemeCodes& codes) {
  const std::string_view sentence = cutCp932(text, 1023);
  bool found = false;
  bool first = true;
  size_t start = 0;
  while (start <= sentence.size()) {
    size_t end = sentence.find_first_of(" ,.-\t\n", start);
    if (end == std::string_view::npos) end = sentence.size();
    if (end > start) {
      if (!first) codes.push_back(kWordGapCode);
      first = false;
      found = PronounceWord(dictionary, std::string(sentence.substr(start, end - start)), codes) || found;
    }
    start = end + 1;
  }
  return found;
}

}  // namespace study
