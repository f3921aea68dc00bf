// The main window's look, shared by the window and its filter panel: the fonts, the
// light yellow of the client area and the design's object names.
#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>
#include <QWidget>

namespace window_style {

inline const QColor kLightYellow(255, 255, 192);

inline QFont verdana()
{
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(8.25);
    return font;
}

inline QFont windowDefaultFont()
{
    return QFont(QStringLiteral("MS Sans Serif"), 8);
}

inline void paintBackground(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setBackgroundRole(QPalette::Window);  // buttons otherwise fill with the button colour
    widget->setAutoFillBackground(true);
}

template <typename T>
T* named(T* object, const char* name)
{
    object->setObjectName(QString::fromLatin1(name));
    return object;
}

}  // namespace window_style
