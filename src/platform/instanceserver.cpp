#include "platform/instanceserver.h"

#include "platform/windowsocket.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace vespira::platform {

InstanceServer::InstanceServer(const QString &windowClass, std::function<void(int, int)> onMessage,
                               QObject *parent)
    : QObject {parent}
    , m_server {new QLocalServer(this)}
    , m_onMessage {std::move(onMessage)}
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    const QString path = windowSocketPath(windowClass);
    if (!path.isEmpty()) {
        // Ask first: listen() would quietly take the name over from a running program and
        // cut it off. Only a stale socket left by a crashed run, which nobody answers, is
        // replaced.
        QLocalSocket probe;
        probe.connectToServer(path);
        const bool answered = probe.waitForConnected(200);
        probe.abort();
        if (!answered) {
            QLocalServer::removeServer(path);
            m_server->listen(path);
        }
    }
    connect(m_server, &QLocalServer::newConnection, this, &InstanceServer::acceptConnection);
}

InstanceServer::~InstanceServer() = default;

bool InstanceServer::isListening() const
{
    return m_server->isListening();
}

void InstanceServer::acceptConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine())
                deliver(socket->readLine());
            // A message is one short line; a client that sends more without a line end
            // is cut off instead of filling memory.
            if (socket->bytesAvailable() > MaxLineLength)
                socket->abort();
        });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            // A last line without its line end still counts.
            const QByteArray rest = socket->readAll();
            if (!rest.isEmpty() && rest.size() <= MaxLineLength)
                deliver(rest);
        });
    }
}

void InstanceServer::deliver(const QByteArray &line)
{
    int message = 0;
    int wParam = 0;
    if (parseInstanceMessage(line, message, wParam) && m_onMessage)
        m_onMessage(message, wParam);
}

bool parseInstanceMessage(const QByteArray &line, int &message, int &wParam)
{
    const QList<QByteArray> parts = line.trimmed().split(' ');
    if (parts.size() != 2)
        return false;
    bool ok1 = false;
    bool ok2 = false;
    message = parts.at(0).toInt(&ok1);
    wParam = parts.at(1).toInt(&ok2);
    return ok1 && ok2;
}

} // namespace vespira::platform
