#pragma once
#include "Doubles.h"
#include "TestSettings.h"
#include "app/frmMain.h"
#include "settings/SettingsStore.h"
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <memory>

// Builds frmMain on the platform doubles and drives it without waiting: ticks of the display
// cycle, lines from the meter, menu entries by objectName. Settings live in the test's own
// configuration folder; clearSettings() empties them between cases.
struct MainWindowFixture {
    doubles::FakePlatform fake;
    std::unique_ptr<frmMain> main;

    // Builds the window; open() then runs its opening steps.
    MainWindowFixture() { main = std::make_unique<frmMain>(fake.platform); }

    bool open() { return main->openWindow(); }

    // Runs the display cycle's timer handler n times, whether or not the timer is running.
    void tick(int n = 1) {
        for (int i = 0; i < n; ++i)
            main->tmrDispUpdate_Timer();
    }
    // Sends a reply line as the meter does (CR LF); the LF completes it.
    void line(const QByteArray& text) { fake.serial.inject(text + "\r\n"); }

    template <typename T> T* child(const QString& name) const { return main->findChild<T*>(name); }
    QLabel* label(const QString& name) const { return child<QLabel>(name); }
    QPushButton* button(const QString& name) const { return child<QPushButton>(name); }
    QAction* action(const QString& name) const { return child<QAction>(name); }
    QTimer* timer(const QString& name) const { return child<QTimer>(name); }
    // Triggers a menu entry as a click does.
    void choose(const QString& name) { action(name)->trigger(); }

    // Control geometry in twips, read back from the widget.
    int px(int twips) const { return main->twips().toPixels(twips); }

    SharedState& state() { return main->shared(); }
};
