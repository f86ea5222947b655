#include "DisplayAppearance.h"
#include "Colour.h"
#include <cstring>

const std::array<DisplayAppearance::Entry, 8>& DisplayAppearance::Entries() {
    static const std::array<Entry, 8> entries = {{
        {"mnuBGBlack", "Black", true, colour::Black},
        {"mnuBGWhite", "White", true, colour::White},
        {"mnuFGBlack", "Black", false, colour::Black},
        {"mnuFGWhite", "White", false, colour::White},
        {"mnuRed", "Red", false, colour::Red},
        {"mnuGreen", "Green", false, colour::Green},
        {"mnuBlue", "Blue", false, colour::Blue},
        {"mnuYellow", "Yellow", false, colour::Yellow},
    }};
    return entries;
}

const DisplayAppearance::Entry* DisplayAppearance::Find(const QString& name) {
    for (const Entry& entry : Entries())
        if (name == QLatin1String(entry.name))
            return &entry;
    return nullptr;
}

void DisplayAppearance::setStored(qint32 background, qint32 foreground) {
    background_ = background;
    foreground_ = foreground;
}

void DisplayAppearance::chooseBackground(qint32 value) {
    background_ = value;
    NoSameFGBG();
}

void DisplayAppearance::chooseForeground(qint32 value) {
    foreground_ = value;
}

bool DisplayAppearance::choose(const QString& entryName) {
    const Entry* entry = Find(entryName);
    if (!entry)
        return false;
    if (entry->background)
        chooseBackground(entry->value);
    else
        chooseForeground(entry->value);
    return true;
}

void DisplayAppearance::NoSameFGBG() {
    if (background_ != colour::White) {
        fgWhiteEnabled_ = true;
    } else {
        fgWhiteEnabled_ = false;
        if (foreground_ == colour::White)
            chooseForeground(colour::Black);
    }
    if (background_ != colour::Black) {
        fgBlackEnabled_ = true;
    } else {
        fgBlackEnabled_ = false;
        if (foreground_ == colour::Black)
            chooseForeground(colour::White);
    }
}

bool DisplayAppearance::isChecked(const Entry& entry) const {
    return entry.value == (entry.background ? background_ : foreground_);
}

bool DisplayAppearance::isEnabled(const Entry& entry) const {
    if (std::strcmp(entry.name, "mnuFGWhite") == 0)
        return fgWhiteEnabled_;
    if (std::strcmp(entry.name, "mnuFGBlack") == 0)
        return fgBlackEnabled_;
    return true;
}
