#pragma once
#include "app/MainWindowApi.h"
#include "platform/Platform.h"
#include <QWidget>

class QButtonGroup;
class QFrame;
class QLabel;
class QPushButton;
class QRadioButton;

// The meter control window: function and rate commands for the meter. The rules live in
// control/MeterOptions; this window owns the buttons and hands their clicks on.
class frmControl : public QWidget {
    Q_OBJECT
public:
    frmControl(MainWindowApi& main, platform::Platform& platform, QWidget* parent = nullptr);

    // Opens the window; an open window is left as it is (not brought to the front). Opening
    // closes the logger window by its own Return steps, so the two are not open together.
    void openWindow();
    bool isOpen() const;
    // Selects an option button by its objectName ("optFast", "optVAC"), running its handler.
    // A closed window is opened first.
    void selectOption(const QString& objectName);
    void hideWindow();
    void closeWindow();

    // Label13's click: the meter maker's manuals page in the user's browser.
    void openManualsPage();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    QRadioButton* addOption(int index, int x, int y, QWidget* buttonParent, int labelX, int labelY,
                            int labelWidth);
    void onOptionClicked(QRadioButton* button);

    MainWindowApi& main_;
    platform::Platform& platform_;
    QLabel* Label12 = nullptr;
    QLabel* Label13 = nullptr;
    QFrame* Line1 = nullptr;
    QFrame* Line2 = nullptr;
    QFrame* Frame1 = nullptr;
    QPushButton* cmdReturn = nullptr;
    QButtonGroup* functionGroup_ = nullptr;
    QButtonGroup* rateGroup_ = nullptr;
};
