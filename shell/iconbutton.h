#pragma once

#include <QStyle>
#include <QToolButton>

namespace corvane {

/// A button that shows only an icon of the style; its hint is its tooltip and accessible name.
inline QToolButton* IconButton(QWidget* parent, QStyle::StandardPixmap icon, const QString& hint)
{
    auto* button = new QToolButton(parent);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setToolTip(hint);
    button->setAccessibleName(hint);
    button->setAutoRaise(false);
    return button;
}

} // namespace corvane
