#include "display/AlarmPanel.h"
#include "display/Colour.h"
#include "platform/ButtonFace.h"
#include "platform/UnexpectedError.h"
#include "settings/SettingsStore.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cmath>
#include <limits>

namespace {
constexpr quint32 Black = 0;
} // namespace

AlarmPanel::AlarmPanel(const AlarmWidgets& widgets, platform::SoundPlayer& sound,
                       platform::MessageBox& messages, platform::Dialogs& dialogs,
                       QString& alarmWavPath, QObject* parent)
    : QObject(parent), w_(widgets), sound_(sound), messages_(messages), dialogs_(dialogs),
      alarmWavPath_(alarmWavPath) {
    w_.cmdAlarms->setText(AlarmsCaption);
    setButtonColour(PanelColour);
    for (QLineEdit* box : {w_.txtHiAlarm, w_.txtLowAlarm}) {
        QPalette palette = box->palette();
        palette.setColor(QPalette::Base, colour::toQColor(PanelColour));
        box->setPalette(palette);
        box->clear();
        box->installEventFilter(this);
    }
    for (QCheckBox* arm : {w_.chkHiSet, w_.chkLoSet}) {
        arm->setText(QString());
        arm->setChecked(false);
        arm->setEnabled(false);
    }
    showRestingLabels();
    setPanelVisible(false);

    connect(w_.cmdAlarms, &QPushButton::clicked, this, &AlarmPanel::onAlarmsClicked);
    connect(w_.txtHiAlarm, &QLineEdit::textChanged, this,
            [this] { onThresholdEdited(w_.txtHiAlarm); });
    connect(w_.txtLowAlarm, &QLineEdit::textChanged, this,
            [this] { onThresholdEdited(w_.txtLowAlarm); });
    connect(w_.chkHiSet, &QCheckBox::clicked, this, [this] {
        setLabel(w_.lblHiThresh, HiRestCaption, Black);
        w_.lblHiThresh->setVisible(true);
    });
    connect(w_.chkLoSet, &QCheckBox::clicked, this, [this] {
        setLabel(w_.lblLoThresh, LoRestCaption, Black);
        w_.lblLoThresh->setVisible(true);
    });
}

float AlarmPanel::Threshold(const QString& text) {
    // The longest leading run that forms [blanks][sign]digits[.digits]; no number reads as 0.
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    const qsizetype start = i;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    bool digits = false;
    while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128) {
        ++i;
        digits = true;
    }
    if (i < text.size() && text[i] == u'.') {
        ++i;
        while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128) {
            ++i;
            digits = true;
        }
    }
    if (!digits)
        return 0;
    QString number = text.mid(start, i - start);
    if (number.endsWith(u'.'))
        number.chop(1);
    bool ok = false;
    const double value = number.toDouble(&ok);
    // A number beyond the single range (Qt reports one beyond even the double range as a
    // failed conversion to infinity) reads as the infinity of its sign: the conversion to float
    // would be undefined, and no finite reading reaches it, as none reaches the number typed.
    constexpr float Infinity = std::numeric_limits<float>::infinity();
    if (std::fabs(value) > double(std::numeric_limits<float>::max()))
        return value > 0 ? Infinity : -Infinity;
    return ok ? static_cast<float>(value) : 0.0f;
}

bool AlarmPanel::AcceptsKeyChar(int code) {
    return code == 8 || (code >= 43 && code <= 57);
}

bool AlarmPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress ||
        (watched != w_.txtHiAlarm && watched != w_.txtLowAlarm))
        return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    // Only keys that type a character are filtered; moving, deleting and the editing
    // shortcuts that insert nothing keep working.
    if (key->text().isEmpty() || key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab ||
        key->key() == Qt::Key_Delete)
        return false;
    for (auto shortcut : {QKeySequence::Copy, QKeySequence::Cut, QKeySequence::SelectAll,
                          QKeySequence::Undo, QKeySequence::Redo})
        if (key->matches(shortcut))
            return false;
    const int code = key->key() == Qt::Key_Backspace ? 8 : key->text().front().unicode();
    return !AcceptsKeyChar(code); // true discards the key
}

void AlarmPanel::setLabel(QLabel* label, const QString& caption, quint32 colour) {
    label->setText(caption);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour::toQColor(colour));
    label->setPalette(palette);
}

void AlarmPanel::showRestingLabels() {
    setLabel(w_.lblHiThresh, HiRestCaption, Black);
    setLabel(w_.lblLoThresh, LoRestCaption, Black);
}

void AlarmPanel::setButtonColour(quint32 colour) {
    platform::SetButtonFace(w_.cmdAlarms, colour::toQColor(colour));
}

void AlarmPanel::setPanelVisible(bool visible) {
    for (QWidget* control :
         std::initializer_list<QWidget*>{w_.txtHiAlarm, w_.txtLowAlarm, w_.lblHiThresh,
                                         w_.lblLoThresh, w_.chkHiSet, w_.chkLoSet})
        control->setVisible(visible);
}

void AlarmPanel::onAlarmsClicked() {
    const QString caption = w_.cmdAlarms->text();
    if (caption == AlarmsCaption) {
        if (w_.txtHiAlarm->isHidden()) {
            setPanelVisible(true);
        } else {
            w_.chkHiSet->setChecked(false);
            w_.chkLoSet->setChecked(false);
            setPanelVisible(false);
        }
        showRestingLabels();
    } else if (caption == ResetCaption) {
        sound_.stop();
        // The button keeps the red the alarm gave it, as a sign that an alarm went off.
        w_.cmdAlarms->setText(AlarmsCaption);
        w_.chkHiSet->setChecked(false);
        w_.chkLoSet->setChecked(false);
        setPanelVisible(true);
        showRestingLabels();
    }
}

void AlarmPanel::onThresholdEdited(QLineEdit* box) {
    showRestingLabels();
    if (!box->text().isEmpty())
        (box == w_.txtHiAlarm ? w_.chkHiSet : w_.chkLoSet)->setEnabled(true);
}

void AlarmPanel::evaluate(float PriSnapshot) {
    const QString hiText = w_.txtHiAlarm->text();
    if (!hiText.isEmpty() && PriSnapshot >= Threshold(hiText))
        trip(w_.lblHiThresh, w_.chkHiSet, HiTripCaption);
    const QString loText = w_.txtLowAlarm->text();
    if (!loText.isEmpty() && PriSnapshot <= Threshold(loText))
        trip(w_.lblLoThresh, w_.chkLoSet, LoTripCaption);
}

void AlarmPanel::trip(QLabel* label, QCheckBox* arm, const QString& tripCaption) {
    setLabel(label, tripCaption, AlarmColour);
    // One sound at a time: once RESET! shows, a second trip only shows its label.
    if (!arm->isChecked() || w_.cmdAlarms->text() != AlarmsCaption)
        return;
    setButtonColour(AlarmColour);
    if (QFileInfo::exists(alarmWavPath_)) {
        sound_.playLooped(alarmWavPath_);
        w_.cmdAlarms->setText(ResetCaption);
    } else {
        sound_.beep(); // again on every tick while the alarm trips
    }
}

void AlarmPanel::clearAlarms() {
    sound_.stop();
    w_.cmdAlarms->setText(AlarmsCaption);
    setButtonColour(PanelColour);
    for (QCheckBox* arm : {w_.chkHiSet, w_.chkLoSet}) {
        arm->setChecked(false);
        arm->setEnabled(false);
    }
    w_.txtHiAlarm->clear();
    w_.txtLowAlarm->clear();
    setPanelVisible(false);
    showRestingLabels();
}

void AlarmPanel::blinkTrippedLabels() {
    if (w_.lblHiThresh->text() != HiRestCaption)
        w_.lblHiThresh->setVisible(w_.lblHiThresh->isHidden());
    if (w_.lblLoThresh->text() != LoRestCaption)
        w_.lblLoThresh->setVisible(w_.lblLoThresh->isHidden());
}

void AlarmPanel::stopSound() {
    sound_.stop();
}

void AlarmPanel::chooseSoundFile() {
    platform::FileDialogRequest request;
    request.title = QStringLiteral("Open .WAV file for Alarm...");
    request.filter = QStringLiteral("WAV|*.wav");
    request.defaultExt = QStringLiteral("wav");
    // The sound files that come with the program lie beside it.
    request.initialPath = settings::InProgramFolder(QStringLiteral("*.wav"));
    const platform::DialogResult result = dialogs_.openFile(request);
    if (result.ok())
        alarmWavPath_ = result.value;
    else if (result.status == platform::DialogResult::Status::Failed)
        platform::ShowUnexpectedError(messages_, result.errorCode);
}
