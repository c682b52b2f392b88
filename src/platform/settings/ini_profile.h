// INI profile files with the original platform's reading rules: sections and keys match without
// regard to case, the first match wins, values are trimmed and lose one pair of enclosing quotes
// (" or '). Files may be UTF-16LE (with its byte-order mark), UTF-8 (with or without one; a few
// stray bytes read as U+FFFD) or code page 932; a write keeps the file's encoding and the bytes of
// every line it does not change (a stray last byte of a UTF-16 file, half a character, is not
// kept), and never changes how the rest of the file reads: a file without a mark is read in the
// encoding its bytes make it out to be, so where the written bytes would tell another, a UTF-8
// file takes the mark and a code page 932 file moves to UTF-8 with one, as it does for a value the
// code page lacks. New files are UTF-8. A value ends at its first NUL, before it is trimmed and
// loses its quotes; no caller buffer limits it.
#pragma once

#include <cerrno>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

// The value, or the default (without its trailing blanks) when the file, section or key is missing.
std::wstring getProfileString(std::wstring_view section, std::wstring_view key, std::wstring_view defaultValue,
                              const std::wstring& file);

// The value's leading decimal number (blanks and a sign allowed; wraps modulo 2^32 like the
// original); the default when the key is missing or its value is empty; 0 for other text.
int getProfileInt(std::wstring_view section, std::wstring_view key, int defaultValue, const std::wstring& file);

// The errno of a write refused for the file's own bytes: a code page 932 file holding bytes that do
// not decode cannot take text that moves it to UTF-8 (a character the code page lacks, say), which
// would lose them. Negative, as no system call's code is: a code the system gave for the file (a
// checksum error, say) is never taken for this refusal.
inline constexpr int kUndecodableProfile = -1;

// Sets key=value, adding the section or the key when missing; a key that holds the value already
// leaves the file as it is. False when the file cannot be written, or, with the file as it was:
// errno EILSEQ when a name or the value holds a line break or NUL (or a key "=" or a leading "["),
// which would change other entries of the file; kUndecodableProfile when the file cannot hold the
// text and still read as before. A section name may hold "]": it is read up to its line's last
// "]". Names are looked up and written without their surrounding blanks, as the original does.
bool writeProfileString(std::wstring_view section, std::wstring_view key, std::wstring_view value,
                        const std::wstring& file);

// One file read once, its keys read and set in memory, and written once, all or nothing, by
// commit(): a template of hundreds of keys costs one read and one write, and the bytes are those
// the calls above, one per key, would have left.
class IniBatch {
 public:
  // Reads the file; a missing one starts empty.
  explicit IniBatch(std::wstring path);
  ~IniBatch();
  IniBatch(const IniBatch&) = delete;
  IniBatch& operator=(const IniBatch&) = delete;

  // False when the file exists but cannot be read: reads give the defaults and nothing is written.
  bool readable() const { return lines_ != nullptr; }
  // Why it could not be read (an errno value); 0 when it was read.
  int readError() const { return readError_; }
  std::wstring getString(std::wstring_view section, std::wstring_view key, std::wstring_view defaultValue) const;
  int getInt(std::wstring_view section, std::wstring_view key, int defaultValue) const;
  // Whether the section holds the key, with any value (an empty one too).
  bool hasKey(std::wstring_view section, std::wstring_view key) const;
  // As writeProfileString, in memory.
  bool writeString(std::wstring_view section, std::wstring_view key, std::wstring_view value);
  // Puts the file in place in one step when a key changed or the file was missing; false (the
  // file as it was) when it cannot be written, or could not be read; errno then tells why.
  bool commit();

 private:
  struct Lines;
  std::wstring path_;
  std::unique_ptr<Lines> lines_;
  int readError_ = 0;
};

}  // namespace platform
