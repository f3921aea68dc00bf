// Keeps the output of window tests clean: drops the offscreen platform's notice about
// size hints, passes every other message on.
#pragma once

#include <QString>
#include <QtGlobal>

inline void installQuietMessageHandler()
{
    static const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            if (!message.contains(
                    QLatin1String("This plugin does not support propagateSizeHints()")) &&
                previous)
                previous(type, context, message);
        });
}
