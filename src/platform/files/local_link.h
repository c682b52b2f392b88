// Requests to another program over a local socket: a message out, a fixed-size answer back.
#pragma once

#include <QByteArray>
#include <optional>
#include <string>

namespace platform {

class LocalLink {
 public:
  LocalLink() = default;
  ~LocalLink() { close(); }
  LocalLink(const LocalLink&) = delete;
  LocalLink& operator=(const LocalLink&) = delete;

  // Connects to the server at path; false when it does not answer within timeoutMs.
  bool connect(const std::string& path, int timeoutMs);
  // Writes the message and reads an answer of answerSize bytes, all within timeoutMs: a peer that
  // hangs costs that long at most. Nothing when the message or the answer does not get through.
  std::optional<QByteArray> exchange(const QByteArray& message, qint64 answerSize, int timeoutMs);
  void close();

 private:
  int socket_ = -1;
};

}  // namespace platform
