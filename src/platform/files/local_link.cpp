#include "platform/files/local_link.h"

#include <QElapsedTimer>
#include <QLocalSocket>
#include <QString>
#include <algorithm>

namespace platform {

bool connectLocal(QLocalSocket& socket, const std::string& path, int timeoutMs) {
  socket.connectToServer(QString::fromStdString(path));
  return socket.waitForConnected(timeoutMs);
}

std::optional<QByteArray> exchange(QLocalSocket& socket, const QByteArray& message, qint64 answerSize,
                                   int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  const auto left = [&] { return std::max<int>(0, timeoutMs - static_cast<int>(clock.elapsed())); };
  socket.write(message);
  while (socket.bytesToWrite() > 0)
    if (left() == 0 || !socket.waitForBytesWritten(left())) return std::nullopt;
  while (socket.bytesAvailable() < answerSize)
    if (left() == 0 || !socket.waitForReadyRead(left())) return std::nullopt;
  return socket.read(answerSize);
}

}  // namespace platform
