#pragma once
#include <QColor>

class QPushButton;

namespace platform {

// Paints a push button's face in exactly the given colour. Styles that shade their buttons
// (Fusion's gradient turns red into salmon) ignore a plain palette colour, so the face is drawn
// flat by a style sheet, with its own border, pressed and focus looks. The palette's Button
// role carries the colour too, for code that reads it back. An invalid colour gives the
// style's own face back.
void SetButtonFace(QPushButton* button, const QColor& colour);

} // namespace platform
