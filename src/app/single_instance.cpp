#include "app/single_instance.h"

#include <QLocalSocket>

namespace corvid::app {

SingleInstance::SingleInstance(const QString& key) {
  QLocalSocket probe;
  probe.connectToServer(key);
  if (probe.waitForConnected(500)) {
    probe.write("show\n");
    probe.waitForBytesWritten(500);
    probe.disconnectFromServer();
    return;
  }
  // Nobody answers: a server name left by a crashed first instance is ours to take.
  QLocalServer::removeServer(key);
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  first_ = server_.listen(key);
  connect(&server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
      connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      emit ActivationRequested();
    }
  });
}

}  // namespace corvid::app
