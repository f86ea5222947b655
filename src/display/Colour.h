#pragma once
#include "platform/PictureBox.h"
#include <QColor>
#include <QtGlobal>

// Colours are 24-bit numbers with red in the low byte: R + 256 G + 65536 B.
namespace colour {

inline constexpr qint32 Black = 0;
inline constexpr qint32 Red = 255;
inline constexpr qint32 Green = 65280;
inline constexpr qint32 Yellow = 65535;
inline constexpr qint32 Blue = 16711680;
inline constexpr qint32 White = 16777215;

inline QColor toQColor(qint32 value) {
    return platform::PictureBox::toQColor(static_cast<quint32>(value));
}

} // namespace colour
