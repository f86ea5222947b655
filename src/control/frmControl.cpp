#include "control/frmControl.h"

#include "core/MeterOptions.h"
#include "platform/PictureBox.h"

#include <QButtonGroup>
#include <QEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>
#include <utility>

namespace {
// Measures in twips, turned into pixels by the main window's conversion.
constexpr int ClientWidth = 5250;
constexpr int ClientHeight = 6270;
constexpr int RowHeight = 300;
constexpr int FirstRowY = 2400;
constexpr int LeftButtonX = 180;
constexpr int RightButtonX = 2460;
constexpr int ButtonSize = 255;
constexpr int LabelGap = 330;
constexpr int DiodeRow = 7; // beside Continuity, below the six pairs
constexpr int FirstRateRow = 15;
constexpr qreal SmallestNotePoints = 6;
constexpr int NoteFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
} // namespace

frmControl::frmControl(core::MeterSession& session, platform::Platform& platform,
                       const Twips& twips, QWidget* parent)
    : QWidget(parent, Qt::Window), session_(session), platform_(platform), twips_(twips) {
    setObjectName("frmControl");
    setWindowTitle("Voltrane RS-232 Meter Control");
    setFixedSize(twips_.toPixels(ClientWidth), twips_.toPixels(ClientHeight));
    QFont small = font();
    small.setPointSizeF(8);
    setFont(small);
    buildControls();
}

QRect frmControl::place(int left, int top, int width, int height) const {
    return twips_.toPixels(TwipsRect{left, top, width, height});
}

QFrame* frmControl::separator(const char* name, int top) {
    auto* line = new QFrame(this);
    line->setObjectName(name);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setGeometry(place(90, top, ClientWidth - 180, 30));
    return line;
}

void frmControl::buildControls() {
    setupNote = new QLabel(this);
    setupNote->setObjectName("Label12");
    setupNote->setWordWrap(true);
    setupNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setupNote->setGeometry(place(150, 90, ClientWidth - 300, FirstRowY - 210));

    functionSeparator = separator("Line1", FirstRowY - 90);

    functionGroup_ = new QButtonGroup(this);
    functionGroup_->setExclusive(true);
    rateGroup_ = new QButtonGroup(this);
    rateGroup_->setExclusive(true);

    const int rateTop = FirstRowY + 8 * RowHeight + 150;
    rateSeparator = separator("Line2", rateTop - 90);
    rateFrame = new QFrame(this);
    rateFrame->setObjectName("Frame1");
    rateFrame->setFrameShape(QFrame::Box);
    rateFrame->setGeometry(place(LeftButtonX - 60, rateTop, ButtonSize + 120, 3 * RowHeight + 90));

    const QList<core::MeterOption>& options = core::MeterOptions();
    for (int i = 0; i < options.size(); ++i) {
        if (options[i].kind == core::MeterOption::Kind::Rate) {
            const int row = i - FirstRateRow;
            rateGroup_->addButton(
                addOption(i, place(60, 60 + row * RowHeight, ButtonSize, ButtonSize), rateFrame,
                          place(LeftButtonX + LabelGap + 90, rateTop + 60 + row * RowHeight, 2475,
                                ButtonSize)));
        } else {
            const bool left = i < 8;
            const int row = left ? i : (i == 14 ? DiodeRow : i - 8);
            const int x = left ? LeftButtonX : RightButtonX;
            const int y = FirstRowY + row * RowHeight;
            const int labelWidth = left ? 1875 : ClientWidth - x - LabelGap - 30;
            functionGroup_->addButton(addOption(i, place(x, y, ButtonSize, ButtonSize), this,
                                                place(x + LabelGap, y, labelWidth, ButtonSize)));
        }
    }

    manualsLink = new QLabel(core::ManualsPageUrl, this);
    manualsLink->setObjectName("Label13");
    manualsLink->setWordWrap(true);
    manualsLink->setGeometry(place(3075, rateTop, ClientWidth - 3150, 2 * RowHeight));
    manualsLink->setCursor(Qt::PointingHandCursor);
    manualsLink->setToolTip("Open the Fluke manuals page in your browser");
    QPalette linkPalette = manualsLink->palette();
    linkPalette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    manualsLink->setPalette(linkPalette);
    QFont underlined = manualsLink->font();
    underlined.setUnderline(true);
    manualsLink->setFont(underlined);
    manualsLink->installEventFilter(this);

    cmdReturn = new QPushButton("&Return", this);
    cmdReturn->setObjectName("cmdReturn");
    cmdReturn->setToolTip("Close the meter control window");
    cmdReturn->setGeometry(place(ClientWidth - 1500, ClientHeight - 540, 1320, 420));
    connect(cmdReturn, &QPushButton::clicked, this, &frmControl::closeWindow);
}

QRadioButton* frmControl::addOption(int index, const QRect& buttonRect, QWidget* buttonParent,
                                    const QRect& labelRect) {
    const core::MeterOption& option = core::MeterOptions()[index];
    auto* button = new QRadioButton(buttonParent);
    button->setObjectName(option.objectName);
    button->setGeometry(buttonRect);
    button->setToolTip(option.label);
    // The caption stands beside the button, so assistive technology hears it by name.
    button->setAccessibleName(option.label);
    if (option.colour != 0) {
        button->setAutoFillBackground(true);
        QPalette palette = button->palette();
        const QColor face = platform::PictureBox::toQColor(option.colour);
        palette.setColor(QPalette::Window, face);
        palette.setColor(QPalette::Base, face);
        palette.setColor(QPalette::Button, face);
        button->setPalette(palette);
    }
    auto* label = new QLabel(option.label, this);
    label->setObjectName("lbl" + option.objectName.mid(3));
    label->setGeometry(labelRect);
    label->setBuddy(button);
    label->installEventFilter(this);
    captions_.insert(label, button);
    // Every way of selecting (mouse, keyboard, a caption, assistive technology) checks the
    // button; the command goes with that change, so each selection sends it once.
    connect(button, &QRadioButton::toggled, this, [this, button](bool checked) {
        if (checked)
            applyOption(button);
    });
    // A click on the option already selected sends its command again, as choosing it does.
    connect(button, &QRadioButton::pressed, this,
            [this, button] { pressedWhileChecked_ = button->isChecked() ? button : nullptr; });
    connect(button, &QRadioButton::clicked, this, [this, button] {
        if (std::exchange(pressedWhileChecked_, nullptr) == button)
            applyOption(button);
    });
    return button;
}

void frmControl::chooseOption(QRadioButton* button) {
    if (button->isChecked())
        applyOption(button);
    else
        button->setChecked(true);
}

void frmControl::applyOption(QRadioButton* button) {
    if (const core::MeterOption* option = core::FindMeterOption(button->objectName())) {
        session_.applyMeterOption(*option);
        emit optionApplied();
    }
}

void frmControl::openWindow() {
    if (isOpen())
        return;
    setupNote->setText(core::SetupNote());
    fitNote();
    for (QFrame* line : {functionSeparator, rateSeparator}) {
        QPalette palette = line->palette();
        palette.setColor(QPalette::WindowText, Qt::white);
        line->setPalette(palette);
    }
    // Only an open logger window is closed (and the main window moved back with it), so
    // opening this window again does not walk the main window up the screen.
    emit opening();
    show();
}

void frmControl::fitNote() {
    // The note's place is fixed, while wider desktop fonts and scaled screens wrap it onto more
    // lines: it steps down from the window's size until its last line shows.
    QFont note = font();
    const QRect room = setupNote->contentsRect();
    for (qreal points = note.pointSizeF(); points >= SmallestNotePoints; points -= 0.25) {
        note.setPointSizeF(points);
        if (QFontMetrics(note).boundingRect(room, NoteFlags, setupNote->text()).height() <=
            room.height())
            break;
    }
    setupNote->setFont(note);
}

bool frmControl::isOpen() const {
    return isVisible();
}

void frmControl::selectOption(const QString& objectName) {
    auto* button = findChild<QRadioButton*>(objectName);
    if (!button)
        return;
    openWindow();
    chooseOption(button);
}

void frmControl::hideWindow() {
    hide();
}

void frmControl::closeWindow() {
    close();
}

void frmControl::closeEvent(QCloseEvent* event) {
    // The selection lasts only while the window is open.
    for (QButtonGroup* group : {functionGroup_, rateGroup_}) {
        group->setExclusive(false);
        for (QAbstractButton* b : group->buttons())
            b->setChecked(false);
        group->setExclusive(true);
    }
    QWidget::closeEvent(event);
}

void frmControl::openManualsPage() {
    platform_.shell.openUrl(QUrl(core::ManualsPageUrl));
}

bool frmControl::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonRelease ||
        static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton)
        return QWidget::eventFilter(watched, event);
    if (watched == manualsLink) {
        openManualsPage();
        return true;
    }
    if (QRadioButton* button = captions_.value(watched)) {
        button->setFocus(Qt::MouseFocusReason);
        chooseOption(button);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
