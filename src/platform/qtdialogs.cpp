#include "platform/qtdialogs.h"

#include <QApplication>
#include <QMessageBox>

namespace vespira::platform {

namespace {
QWidget *parent()
{
    return QApplication::activeWindow();
}
} // namespace

void QtDialogs::information(const QString &text)
{
    QMessageBox::information(parent(), QApplication::applicationName(), text);
}

void QtDialogs::warning(const QString &text)
{
    QMessageBox::warning(parent(), QApplication::applicationName(), text);
}

void QtDialogs::error(const QString &text)
{
    QMessageBox::critical(parent(), QApplication::applicationName(), text);
}

bool QtDialogs::confirm(const QString &text)
{
    return QMessageBox::question(parent(), QApplication::applicationName(), text,
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
        == QMessageBox::Yes;
}

} // namespace vespira::platform
