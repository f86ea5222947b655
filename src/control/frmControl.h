#pragma once
#include "core/MeterSession.h"
#include "platform/Platform.h"
#include "platform/Twips.h"
#include <QHash>
#include <QWidget>

class QButtonGroup;
class QFrame;
class QLabel;
class QPushButton;
class QRadioButton;

// The meter control window: function and rate commands for the meter. The rules live in
// control/MeterOptions; this window owns the buttons and hands each selection on.
class frmControl : public QWidget {
    Q_OBJECT
public:
    // Measures are taken in twips by the main window's conversion.
    frmControl(core::MeterSession& session, platform::Platform& platform, const Twips& twips,
               QWidget* parent = nullptr);

    // Opens the window; an open window is left as it is (not brought to the front). Opening
    // announces itself first (opening).
    void openWindow();
    bool isOpen() const;
    // Selects an option button by its objectName ("optFast", "optVAC"), sending its command.
    // A closed window is opened first.
    void selectOption(const QString& objectName);
    void hideWindow();
    void closeWindow();

    // manualsLink's click: the meter maker's manuals page in the user's browser.
    void openManualsPage();

signals:
    // The window is about to show: the logger window is to close by its Return steps, so the
    // two are not open together.
    void opening();
    // An option's command went out: the main window is to be active again.
    void optionApplied();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    // A rectangle given in twips, in pixels of the main window's conversion.
    QRect place(int left, int top, int width, int height) const;
    QFrame* separator(const char* name, int top);
    // The setup note's font: the window's, or smaller where that would clip its last line.
    void fitNote();
    QRadioButton* addOption(int index, const QRect& buttonRect, QWidget* buttonParent,
                            const QRect& labelRect);
    // Selects the option; an option already selected sends its command again.
    void chooseOption(QRadioButton* button);
    void applyOption(QRadioButton* button);

    core::MeterSession& session_;
    platform::Platform& platform_;
    Twips twips_;
    QLabel* setupNote = nullptr;         // Label12
    QLabel* manualsLink = nullptr;       // Label13
    QFrame* functionSeparator = nullptr; // Line1
    QFrame* rateSeparator = nullptr;     // Line2
    QFrame* rateFrame = nullptr;         // Frame1
    QPushButton* cmdReturn = nullptr;
    QButtonGroup* functionGroup_ = nullptr;
    QButtonGroup* rateGroup_ = nullptr;
    QHash<QObject*, QRadioButton*> captions_; // each option's caption label and its button
    QRadioButton* pressedWhileChecked_ = nullptr;
};
