#include "platform/instanceserver.h"

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
    if (!m_server->listen(windowClass)) {
        // A stale socket of a crashed run blocks the name; take it over.
        QLocalServer::removeServer(windowClass);
        m_server->listen(windowClass);
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
            while (socket->canReadLine()) {
                int message = 0;
                int wParam = 0;
                if (parseInstanceMessage(socket->readLine(), message, wParam) && m_onMessage)
                    m_onMessage(message, wParam);
            }
        });
    }
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
