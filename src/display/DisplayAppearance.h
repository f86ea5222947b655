#pragma once
#include <QString>
#include <QtGlobal>
#include <array>

// The colours of the two reading displays and the colour menus' state derived from them. The
// rule NoSameFGBG keeps black and white text readable against a black or white background.
class DisplayAppearance {
public:
    struct Entry {
        const char* name; // menu entry objectName
        const char* caption;
        bool background;
        qint32 value;
    };
    // The two background entries first, then the six foreground entries, in menu order.
    static const std::array<Entry, 8>& Entries();
    static const Entry* Find(const QString& name);

    qint32 BackgroundColour() const { return background_; }
    qint32 ForegroundColour() const { return foreground_; }

    // Stored colours applied at opening (no rule runs).
    void setStored(qint32 background, qint32 foreground);
    // A background choice runs NoSameFGBG; a foreground choice does not.
    void chooseBackground(qint32 value);
    void chooseForeground(qint32 value);
    // Applies a menu entry by its objectName; false for an unknown name.
    bool choose(const QString& entryName);
    void NoSameFGBG();

    // Exactly the entry whose value equals its group's colour is checked.
    bool isChecked(const Entry& entry) const;
    bool isEnabled(const Entry& entry) const;
    bool foregroundWhiteEnabled() const { return fgWhiteEnabled_; }
    bool foregroundBlackEnabled() const { return fgBlackEnabled_; }

private:
    qint32 background_ = 0;
    qint32 foreground_ = 65535;
    bool fgWhiteEnabled_ = true;
    bool fgBlackEnabled_ = true;
};
