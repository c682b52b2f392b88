// Requests to another program over a local socket: a message out, a fixed-size answer back.
#pragma once

#include <QByteArray>
#include <optional>
#include <string>

class QLocalSocket;

namespace platform {

// Connects to the server at path; false when it does not answer within timeoutMs.
bool connectLocal(QLocalSocket& socket, const std::string& path, int timeoutMs);

// Writes the message and reads an answer of answerSize bytes, all within timeoutMs: a peer that
// hangs costs that long at most. Nothing when the message or the answer does not get through.
std::optional<QByteArray> exchange(QLocalSocket& socket, const QByteArray& message, qint64 answerSize,
                                   int timeoutMs);

}  // namespace platform
