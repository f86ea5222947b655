#include "platform/ButtonFace.h"

#include <QApplication>
#include <QPushButton>

namespace platform {

void SetButtonFace(QPushButton* button, const QColor& colour) {
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, colour.isValid()
                                           ? colour
                                           : QApplication::palette(button).color(QPalette::Button));
    button->setPalette(palette);
    if (!colour.isValid()) {
        button->setStyleSheet(QString());
        return;
    }
    const QString face = colour.name();
    button->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; border: 1px solid %2;"
                                         " border-radius: 3px; padding: 2px 6px; }"
                                         "QPushButton:pressed { background-color: %3; }"
                                         "QPushButton:focus { border-color: palette(highlight); }"
                                         "QPushButton:disabled { color: palette(mid); }")
                              .arg(face, colour.darker(200).name(), colour.darker(120).name()));
}

} // namespace platform
