#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;

namespace vespira::platform {

// Listens on the local socket of the main window's class in the user's runtime folder
// (windowSocketPath). A client writing the line "5735 99" asks the program to close; any
// other line is ignored.
class InstanceServer final : public QObject
{
    Q_OBJECT
public:
    InstanceServer(const QString &windowClass, std::function<void(int, int)> onMessage,
                   QObject *parent = nullptr);
    ~InstanceServer() override;

    // False when the name belongs to another running instance (or could not be taken).
    bool isListening() const;

private:
    static constexpr qint64 MaxLineLength = 256;

    void acceptConnection();
    void deliver(const QByteArray &line);

    QLocalServer *m_server;
    std::function<void(int, int)> m_onMessage;
};

// Parses "message wparam"; false when the line is not two decimal numbers.
bool parseInstanceMessage(const QByteArray &line, int &message, int &wParam);

} // namespace vespira::platform
