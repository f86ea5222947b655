#pragma once
#include "platform/Twips.h"
#include <QString>
#include <QStringList>
#include <map>

// The main window's geometry in twips: its outer size and the place of every control, for the
// single layout (one display) and the dual layout (the secondary display below the primary).
class MainLayout {
public:
    static constexpr int WindowWidth = 11400;
    static constexpr int WindowHeight = 4150;
    static constexpr int DisplayHeight = 1650; // one display, and the shift below it
    static constexpr int RateLineShift = 1750;
    static constexpr int DisplayWidth = 10455;
    static constexpr int SingleLoggerTop = 2500;
    static constexpr int DualLoggerTop = SingleLoggerTop + DisplayHeight;
    static constexpr int LineRight = 11235;

    MainLayout(); // the opening layout (single)

    // The ten controls that move with the layout, in the order they are moved.
    static const QStringList& MovedControls();
    // Every control with a place: the moved ten, Label1, Label2, Label3, Line1.
    const std::map<QString, TwipsRect>& controls() const { return controls_; }
    TwipsRect rect(const QString& name) const;

    int windowWidth() const { return windowWidth_; }
    int windowHeight() const { return windowHeight_; }
    bool label2Visible() const { return label2Visible_; }
    // The layout shown, told by the Logger button's position.
    bool dualShown() const { return rect(QStringLiteral("cmdLogger")).top == DualLoggerTop; }

    // Each applies its changes to the current positions; call only from the other layout.
    void ShowDualLayout();
    void ShowSingleLayout();

private:
    void shift(int displayShift, int rateLineShift);

    std::map<QString, TwipsRect> controls_;
    int windowWidth_ = WindowWidth;
    int windowHeight_ = WindowHeight;
    bool label2Visible_ = false;
};
