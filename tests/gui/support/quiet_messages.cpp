#include "support/quiet_messages.h"

#include <QString>
#include <QtGlobal>

namespace {
QtMessageHandler previousHandler = nullptr;

void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.contains(QLatin1String("This plugin does not support propagateSizeHints()")))
        return;
    if (previousHandler)
        previousHandler(type, context, message);
}
}  // namespace

void installQuietMessageHandler()
{
    previousHandler = qInstallMessageHandler(quietHandler);
}
