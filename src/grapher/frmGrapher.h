#pragma once
#include "grapher/GraphExports.h"
#include "grapher/GraphPicture.h"
#include "grapher/GraphView.h"
#include "grapher/LogFileReader.h"
#include "platform/PictureBox.h"
#include "platform/Platform.h"
#include "platform/Twips.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class QAction;
class frmStatistics;
class QLabel;
class QLineEdit;
class QPushButton;

// The grapher window: plots a closed log file, readouts, zoom, sign filter, export, comment.
// The samples are read into memory once per load; the file is opened again only to write the
// comment back and to copy it.
class frmGrapher : public QMainWindow {
    Q_OBJECT
public:
    // What the grapher reads of the main window and the live meter.
    struct MainSide {
        Twips twips;                          // the main window's measure
        const QWidget* window = nullptr;      // whose width the grapher takes
        std::function<QString()> liveUnits;   // the unit the live trend follows
        std::function<QString()> logFilePath; // where the open dialog starts
    };

    frmGrapher(MainSide main, platform::Platform& platform, QWidget* parent = nullptr);
    ~frmGrapher() override;

    // Window load: loads the file the main window chose, then asks for the live display again.
    // A cancelled read leaves the earlier file on show, or the window closed.
    void loadFromMain(const QString& path);
    bool isOpen() const;
    // Closing at Quit: the window's own closing step (stores "DataFilePath").
    void closeWindow();

    // The view, scale and cursor state of what is shown (for tests and diagnostics).
    const grapher::GraphView& view() const { return view_; }
    const grapher::LoadedLog* log() const { return log_.get(); }
    // What the window shows of the graph, without the cursor and marker lines.
    grapher::GraphPicture picture() const;

    // The handlers, callable as the controls call them.
    void cmdOpen_Click();
    void cmdZoom_Click();
    void cmdPlusMinus_Click();
    void cmdReset_Click();
    void cmdReturn_Click();
    void mnuCDelimited_Click();
    void mnuCAccess_Click();
    void mnuPicture_Click();
    void mnuStatistics_Click();
    // Ctrl+C: the picture to the clipboard.
    void copyPicture();
    void mnuAbout_Click();
    void mnuContents_Click();
    void lblTitle_Click();
    void picGraph_MouseMove(double x, double y);
    void picGraph_MouseDown(double x);
    void KeyDown(int key);

signals:
    // The live display is to go on (after a load from the main window, or a refused one).
    void liveDisplayDue();
    // A file without tables came from the main window: the program ends.
    void quitRequested();
    // The Open button chose another file to graph (or, after a cancelled read from the main
    // window, the file still shown).
    void graphFileChosen(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static constexpr int CommentMaxLength = 255;
    enum class LoadFrom { MainWindow, OpenMenu };
    void buildWidgets();
    void resetForLoad();
    // The slow part of a load, with progress and Cancel; nothing on show changes.
    grapher::LoadResult readLogFile(const QString& path);
    bool loadFile(LoadFrom from, grapher::LoadResult result);
    void failLoad(int error, LoadFrom from);
    void releaseAndClose();
    // The window's closing step: stores the data folder and lets go of the samples.
    void unload();
    void redraw();
    // The statistics window, when open, shows the view just drawn.
    void showStatistics();
    void redrawForNewSize();
    void drawView(const grapher::GraphView::Redraw& r);
    void showReadout(qint32 row, bool moveMarker, double markerX);
    void drawCross(double x, double y);
    void setTitle(const QString& suffix = QString());
    QString graphFilePath() const;

    MainSide main_;
    QString graphFilePath_;
    platform::Platform& platform_;
    grapher::GraphExports exports_;
    std::unique_ptr<grapher::LoadedLog> log_;
    grapher::GraphView view_;
    bool loaded_ = false;
    bool markerShown_ = false;

    platform::PictureBox* picGraph_ = nullptr;
    QLabel* lblFileName_ = nullptr;
    QLabel* lblDate_ = nullptr;
    QLineEdit* txtComment_ = nullptr;
    QLabel* lblTitle_ = nullptr;
    QLabel* dataSetName_ = nullptr; // Label10
    QLabel* lblMax_ = nullptr;
    QLabel* lblMidHigh_ = nullptr;
    QLabel* lblMid_ = nullptr;
    QLabel* lblMidLow_ = nullptr;
    QLabel* lblMin_ = nullptr;
    QLabel* lblTS_ = nullptr;
    QLabel* lblType_ = nullptr;
    QLabel* lblUnits_ = nullptr;
    QLabel* lblValue_ = nullptr;
    QLabel* lbldBu_ = nullptr;
    QLabel* lblMaxVal_ = nullptr;
    QLabel* lblMinVal_ = nullptr;
    QPushButton* cmdZoom_ = nullptr;
    QPushButton* cmdPlusMinus_ = nullptr;
    QPushButton* cmdReset_ = nullptr;
    QPushButton* cmdReturn_ = nullptr;
    QAction* cmdOpen_ = nullptr;
    QAction* mnuCDelimited_ = nullptr;
    QAction* mnuCAccess_ = nullptr;
    QAction* mnuPicture_ = nullptr;
    QAction* mnuStatistics_ = nullptr;
    QAction* mnuReturn_ = nullptr;
    QAction* mnuContents_ = nullptr;
    QAction* mnuAbout_ = nullptr;
    frmStatistics* statistics_ = nullptr; // a tool window of the grapher, made on first use
};
