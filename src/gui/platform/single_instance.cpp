#include "platform/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>

namespace tamso::gui {

SingleInstance::SingleInstance(const QString& profilePath, QObject* parent)
    : QObject(parent), name_(ServerName(profilePath)) {
  connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::OnConnection);
}

SingleInstance::~SingleInstance() {
  server_.close();
}

QString SingleInstance::ServerName(const QString& profilePath) {
  QByteArray key = QFile::encodeName(QFileInfo(profilePath).absoluteFilePath());
  QByteArray hash = QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(16);
  return QStringLiteral("tamso-%1-%2")
      .arg(QString::fromLatin1(qgetenv("USER")), QString::fromLatin1(hash));
}

bool SingleInstance::HandOver(const std::vector<std::string>& files, int timeoutMs) {
  QLocalSocket socket;
  socket.connectToServer(name_);
  if (!socket.waitForConnected(timeoutMs)) return false;
  QByteArray payload;
  for (const std::string& f : files) {
    if (f.empty() || f.find('\n') != std::string::npos) continue;  // one name a line
    payload += QByteArray(f.data(), static_cast<qsizetype>(f.size()));
    payload += '\n';
  }
  payload += '\n';  // an empty line ends the list
  socket.write(payload);
  if (!socket.waitForBytesWritten(timeoutMs)) return false;
  // Wait for the running instance to confirm, so nothing is lost when we exit.
  if (!socket.waitForReadyRead(timeoutMs)) return false;
  socket.disconnectFromServer();
  return true;
}

bool SingleInstance::Listen() {
  if (server_.listen(name_)) return true;
  // A name left over by a program that crashed: nobody answers on it.
  QLocalSocket probe;
  probe.connectToServer(name_);
  if (probe.waitForConnected(200)) return false;
  QLocalServer::removeServer(name_);
  return server_.listen(name_);
}

void SingleInstance::OnConnection() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    auto buffer = std::make_shared<QByteArray>();
    connect(socket, &QLocalSocket::readyRead, this, [this, socket, buffer] {
      *buffer += socket->readAll();
      if (!buffer->endsWith("\n\n") && *buffer != "\n") return;
      QByteArrayList files;
      for (const QByteArray& line : buffer->split('\n'))
        if (!line.isEmpty()) files << line;
      socket->write("ok\n");
      socket->flush();
      emit filesReceived(files);
    });
  }
}

}  // namespace tamso::gui
