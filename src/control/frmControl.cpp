#include "control/frmControl.h"

#include "control/MeterOptions.h"
#include "platform/PictureBox.h"

#include <QButtonGroup>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>

namespace {
// Client area 5250 x 6270 twips at 15 twips to the pixel.
constexpr int ClientWidth = 5250 / 15;
constexpr int ClientHeight = 6270 / 15;
constexpr int RowHeight = 20;
constexpr int FirstRowY = 160;
constexpr int LeftButtonX = 12;
constexpr int RightButtonX = 164;
constexpr int ButtonSize = 17;
constexpr int LabelGap = 22;
constexpr int DiodeRow = 7; // beside Continuity, below the six pairs

QFrame* separator(QWidget* parent, const char* name, int y) {
    auto* line = new QFrame(parent);
    line->setObjectName(name);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setGeometry(6, y, ClientWidth - 12, 2);
    return line;
}
} // namespace

frmControl::frmControl(MainWindowApi& main, platform::Platform& platform, QWidget* parent)
    : QWidget(parent, Qt::Window), main_(main), platform_(platform) {
    setObjectName("frmControl");
    setWindowTitle("Voltrane RS-232 Meter Control");
    setFixedSize(ClientWidth, ClientHeight);
    QFont small = font();
    small.setPointSizeF(8);
    setFont(small);
    buildControls();
}

void frmControl::buildControls() {
    Label12 = new QLabel(this);
    Label12->setObjectName("Label12");
    Label12->setWordWrap(true);
    Label12->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label12->setGeometry(10, 6, ClientWidth - 20, FirstRowY - 14);

    Line1 = separator(this, "Line1", FirstRowY - 6);

    functionGroup_ = new QButtonGroup(this);
    functionGroup_->setExclusive(true);
    rateGroup_ = new QButtonGroup(this);
    rateGroup_->setExclusive(true);

    const int rateTop = FirstRowY + 8 * RowHeight + 10;
    Line2 = separator(this, "Line2", rateTop - 6);
    Frame1 = new QFrame(this);
    Frame1->setObjectName("Frame1");
    Frame1->setFrameShape(QFrame::Box);
    Frame1->setGeometry(LeftButtonX - 4, rateTop, ButtonSize + 8, 3 * RowHeight + 6);

    const QList<control::MeterOption>& options = control::MeterOptions();
    for (int i = 0; i < options.size(); ++i) {
        QRadioButton* button = nullptr;
        if (options[i].kind == control::MeterOption::Kind::Rate) {
            const int row = i - 15;
            button = addOption(i, 4, 4 + row * RowHeight, Frame1, LeftButtonX + LabelGap + 6,
                               rateTop + 4 + row * RowHeight, 165);
            rateGroup_->addButton(button);
        } else {
            const bool left = i < 8;
            const int row = left ? i : (i == 14 ? DiodeRow : i - 8);
            const int x = left ? LeftButtonX : RightButtonX;
            const int y = FirstRowY + row * RowHeight;
            button = addOption(i, x, y, this, x + LabelGap, y, left ? 125 : ClientWidth - x - 24);
            functionGroup_->addButton(button);
        }
    }

    Label13 = new QLabel(control::ManualsPageUrl, this);
    Label13->setObjectName("Label13");
    Label13->setWordWrap(true);
    Label13->setGeometry(205, rateTop, ClientWidth - 210, 2 * RowHeight);
    Label13->setCursor(Qt::PointingHandCursor);
    Label13->setToolTip("Open the Fluke manuals page in your browser");
    QPalette linkPalette = Label13->palette();
    linkPalette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    Label13->setPalette(linkPalette);
    QFont underlined = Label13->font();
    underlined.setUnderline(true);
    Label13->setFont(underlined);
    Label13->installEventFilter(this);

    cmdReturn = new QPushButton("&Return", this);
    cmdReturn->setObjectName("cmdReturn");
    cmdReturn->setToolTip("Close the meter control window");
    cmdReturn->setGeometry(ClientWidth - 100, ClientHeight - 36, 88, 28);
    connect(cmdReturn, &QPushButton::clicked, this, &frmControl::closeWindow);
}

QRadioButton* frmControl::addOption(int index, int x, int y, QWidget* buttonParent, int labelX,
                                    int labelY, int labelWidth) {
    const control::MeterOption& option = control::MeterOptions()[index];
    auto* button = new QRadioButton(buttonParent);
    button->setObjectName(option.objectName);
    button->setGeometry(x, y, ButtonSize, ButtonSize);
    button->setToolTip(option.label);
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
    label->setGeometry(labelX, labelY, labelWidth, ButtonSize);
    label->setBuddy(button);
    connect(button, &QRadioButton::clicked, this, [this, button] { onOptionClicked(button); });
    return button;
}

void frmControl::onOptionClicked(QRadioButton* button) {
    if (const control::MeterOption* option = control::FindMeterOption(button->objectName()))
        control::ApplyMeterOption(*option, main_);
}

void frmControl::openWindow() {
    if (isOpen())
        return;
    Label12->setText(control::SetupNote());
    for (QFrame* line : {Line1, Line2}) {
        QPalette palette = line->palette();
        palette.setColor(QPalette::WindowText, Qt::white);
        line->setPalette(palette);
    }
    // Only an open logger window is closed (and the main window moved back with it), so
    // opening this window again does not walk the main window up the screen.
    main_.closeLoggerByReturn();
    show();
}

bool frmControl::isOpen() const {
    return isVisible();
}

void frmControl::selectOption(const QString& objectName) {
    auto* button = findChild<QRadioButton*>(objectName);
    if (!button)
        return;
    openWindow();
    button->setChecked(true);
    onOptionClicked(button);
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
    platform_.shell.openUrl(QUrl(control::ManualsPageUrl));
}

bool frmControl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label13 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        openManualsPage();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
