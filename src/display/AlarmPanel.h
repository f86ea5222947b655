#pragma once
#include "platform/Dialogs.h"
#include "platform/MessageBox.h"
#include "platform/SoundPlayer.h"
#include <QObject>
#include <QString>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The Hi/Lo alarm controls of the main window. The main window creates and places them; the
// panel gives them their initial state, connects their signals and owns every rule about them.
struct AlarmWidgets {
    QPushButton* cmdAlarms = nullptr;
    QLineEdit* txtHiAlarm = nullptr;
    QLineEdit* txtLowAlarm = nullptr;
    QLabel* lblHiThresh = nullptr;
    QLabel* lblLoThresh = nullptr;
    QCheckBox* chkHiSet = nullptr;
    QCheckBox* chkLoSet = nullptr;
};

// The high and low alarms on the primary reading: panel toggle and RESET!, threshold entry,
// arming, the per-tick evaluation, the looping sound (one at a time, beep when the file is
// missing), clearing on a unit change, blinking of tripped labels and the choice of the sound
// file.
//
// Wiring in the main window:
//   - construct once after the widgets exist; the panel sets their initial state (hidden,
//     captions, colours) and connects cmdAlarms' click, the boxes' key filter and text change
//     and the arm boxes' click itself;
//   - display tick: evaluate(PriSnapshot), then on a change of the followed unit
//     clearAlarms() (the display cycle starts the logger's rescale itself), then
//     blinkTrippedLabels();
//   - "&Alarm Sound" menu: chooseSoundFile();
//   - Quit and closing of the main window: stopSound();
//   - the silence watchdog's offline step disables cmdAlarms directly.
class AlarmPanel : public QObject {
    Q_OBJECT
public:
    static inline const QString AlarmsCaption = QStringLiteral("&Alarms");
    static inline const QString ResetCaption = QStringLiteral("RESET!");
    static inline const QString HiRestCaption = QStringLiteral("Hi Threshold:");
    static inline const QString LoRestCaption = QStringLiteral("Lo Threshold:");
    static inline const QString HiTripCaption = QStringLiteral("Hi Trigger!");
    static inline const QString LoTripCaption = QStringLiteral("Lo Trigger!");
    static constexpr quint32 PanelColour = 0xC0C0FF; // light red, red in the low byte
    static constexpr quint32 AlarmColour = 255;      // red

    // alarmWavPath is the main window's AlarmWavPath: read when an alarm sounds, written by
    // chooseSoundFile(). It must outlive the panel.
    AlarmPanel(const AlarmWidgets& widgets, platform::SoundPlayer& sound,
               platform::MessageBox& messages, platform::Dialogs& dialogs, QString& alarmWavPath,
               QObject* parent = nullptr);

    // One display tick: trips each alarm whose box is not empty and whose threshold the
    // reading reaches (>= high, <= low), and sounds an armed one.
    void evaluate(float PriSnapshot);
    // The followed reading changed unit: stops the sound, empties, hides and disarms the
    // whole panel and gives cmdAlarms its resting caption and colour.
    void clearAlarms();
    // A tripped label inverts its visibility (400 ms blink at the 200 ms tick).
    void blinkTrippedLabels();
    void stopSound();
    // The "&Alarm Sound" menu: file dialog proposing "*.wav" in the program folder; a chosen
    // file becomes AlarmWavPath, a cancel changes nothing, a failure shows "Unexpected Error!".
    void chooseSoundFile();

    // The Alarms button: panel toggle, or RESET! while a sound plays.
    void onAlarmsClicked();

    // The number at the start of a threshold text (sign, digits, "." point), 0 when there is
    // none, rounded to single precision; beyond the single range it is +/- infinity.
    static float Threshold(const QString& text);
    // The key filter of the threshold boxes: backspace and the characters "+" to "9".
    static bool AcceptsKeyChar(int code);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showRestingLabels();
    void setLabel(QLabel* label, const QString& caption, quint32 colour);
    void setButtonColour(quint32 colour);
    void setPanelVisible(bool visible);
    void onThresholdEdited(QLineEdit* box);
    void trip(QLabel* label, QCheckBox* arm, const QString& tripCaption);

    AlarmWidgets w_;
    platform::SoundPlayer& sound_;
    platform::MessageBox& messages_;
    platform::Dialogs& dialogs_;
    QString& alarmWavPath_;
};
