#include "platform/ButtonFace.h"

#include <QApplication>
#include <QPushButton>
#include <algorithm>
#include <cmath>

namespace platform {

namespace {

// Relative luminance as contrast ratios are defined on it (sRGB, WCAG 2).
double luminance(const QColor& colour) {
    auto linear = [](double c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
}

// A disabled caption in the face's own hue, dark on a light face and light on a dark one, with
// a contrast of at least 3:1: still readable, yet plainly greyed against an enabled caption.
QColor disabledCaption(const QColor& face) {
    const double faceLight = luminance(face);
    const bool darken = faceLight > 0.18;
    const QColor towards = darken ? QColor(Qt::black) : QColor(Qt::white);
    for (double t = 0.5;; t += 0.05) {
        const double u = std::min(t, 1.0);
        const QColor caption =
            QColor::fromRgbF(float(face.redF() + (towards.redF() - face.redF()) * u),
                             float(face.greenF() + (towards.greenF() - face.greenF()) * u),
                             float(face.blueF() + (towards.blueF() - face.blueF()) * u));
        const double captionLight = luminance(caption);
        const double ratio =
            (std::max(faceLight, captionLight) + 0.05) / (std::min(faceLight, captionLight) + 0.05);
        if (ratio >= 3.2 || u >= 1.0)
            return caption;
    }
}

} // namespace

void SetButtonFace(QPushButton* button, const QColor& colour) {
    // The style sheet first: clearing one puts back the palette the button had when it was
    // set, which would undo a palette set before it (a cleared red face stayed red).
    if (!colour.isValid()) {
        button->setStyleSheet(QString());
    } else {
        const QString face = colour.name();
        button->setStyleSheet(
            QStringLiteral("QPushButton { background-color: %1; border: 1px solid %2;"
                           " border-radius: 3px; padding: 2px 6px; }"
                           "QPushButton:pressed { background-color: %3; }"
                           "QPushButton:focus { border-color: palette(highlight); }"
                           "QPushButton:disabled { color: %4; }")
                .arg(face, colour.darker(200).name(), colour.darker(120).name(),
                     disabledCaption(colour).name()));
    }
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, colour.isValid()
                                           ? colour
                                           : QApplication::palette(button).color(QPalette::Button));
    button->setPalette(palette);
}
} // namespace platform
