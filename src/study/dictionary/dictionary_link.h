// Looking a word up in the outside dictionary program. The program serves the service "PDICW"
// on a local socket of that name in the user's runtime folder (in place of a DDE server); when
// it does not answer, it is started from its path in the registry.
//
// The conversation, little-endian; the program answers every request with one byte, 1 for
// accepted and 0 for refused:
//   connect: u8 1, u32 n, n bytes of the topic ("Simulate")
//   poke:    u8 2, u32 n, n bytes of the item ("InputWord"), u32 clipboard format (1 = text),
//            u32 n, n bytes of data (code page 932 text with its terminating NUL)
#pragma once

#include <QByteArray>
#include <memory>
#include <string>

namespace platform {
class LocalLink;
}
class QWidget;

namespace study {

class PdicDdeClient {
 public:
  PdicDdeClient();
  ~PdicDdeClient();
  PdicDdeClient(const PdicDdeClient&) = delete;
  PdicDdeClient& operator=(const PdicDdeClient&) = delete;

  // Opens the conversation; false (with "error code : 0x%X" on stdout) when the service does not
  // answer or refuses the topic. quiet leaves the line out (while polling a starting program).
  bool Connect(const std::string& service, const std::string& topic, bool quiet = false);
  // Sends the text with its terminating NUL; true when the program accepted it (9999 ms at most).
  bool Poke(const std::string& item, const std::string& ansiText);
  void Disconnect();

 private:
  bool request(const QByteArray& message, int timeoutMs);

  std::unique_ptr<platform::LocalLink> link_;
};

// The registry path of the program: HKEY_LOCAL_MACHINE, this key, its default value.
inline constexpr wchar_t kPdicAppPathKey[] = L"SOFTWARE\\PDIC\\CurrentVersion\\App Paths\\PDICW32.EXE";
// The socket a service is served on; empty when the runtime folder is not private.
std::string dictionaryServicePath(const std::string& service);

// Pokes the word into the dictionary program's input, starting the program when needed. Failures
// are shown to the user in boxes owned by owner.
void LookUpInPdic(const std::wstring& word, QWidget* owner);

}  // namespace study
