#include "MainLayout.h"

MainLayout::MainLayout() {
    controls_ = {
        {"Label1", {400, 300, DisplayWidth, DisplayHeight}},
        {"Label2", {400, 2050, DisplayWidth, 1}},
        {"Label3", {400, 2000, 4000, 240}},
        {"cmdLogger", {400, SingleLoggerTop, 1450, 495}},
        {"cmdMeterSettings", {2900, 2500, 1450, 495}},
        {"cmdAlarms", {6900, 2500, 1450, 495}},
        {"cmdQuit", {9400, 2500, 1450, 495}},
        // The alarm labels fill the gap up to the threshold boxes.
        {"lblHiThresh", {4680, 2470, 1150, 255}},
        {"lblLoThresh", {4680, 2790, 1150, 255}},
        {"txtHiAlarm", {5850, 2450, 735, 285}},
        {"txtLowAlarm", {5850, 2750, 735, 285}},
        {"chkHiSet", {6630, 2480, 255, 255}},
        {"chkLoSet", {6630, 2790, 255, 255}},
        {"Line1", {0, 15, LineRight, 15}},
    };
}

const QStringList& MainLayout::MovedControls() {
    static const QStringList names = {
        "cmdQuit",     "cmdMeterSettings", "cmdAlarms",   "cmdLogger", "txtHiAlarm",
        "txtLowAlarm", "lblHiThresh",      "lblLoThresh", "chkHiSet",  "chkLoSet"};
    return names;
}

TwipsRect MainLayout::rect(const QString& name) const {
    const auto it = controls_.find(name);
    return it == controls_.end() ? TwipsRect{} : it->second;
}

void MainLayout::shift(int displayShift, int rateLineShift) {
    windowHeight_ += displayShift;
    for (const QString& name : MovedControls())
        controls_[name].top += displayShift;
    controls_["Label3"].top += rateLineShift;
}

void MainLayout::ShowDualLayout() {
    shift(DisplayHeight, RateLineShift);
    controls_["Label2"].height = DisplayHeight;
    controls_["Label2"].width = DisplayWidth;
    label2Visible_ = true;
}

void MainLayout::ShowSingleLayout() {
    shift(-DisplayHeight, -RateLineShift);
    controls_["Label2"].height = 1;
    controls_["Label2"].width = DisplayWidth;
    label2Visible_ = false;
}
