#pragma once

#include <QPointer>
#include <QWidget>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace karumenio::points {
struct PointTable;
} // namespace karumenio::points

namespace karumenio::guide {
class UsageWindow;
} // namespace karumenio::guide

namespace karumenio::app {

class MessageSink;
class OleContainer;
class PreviewWindow;
class SessionAdapter;
class WorksheetModel;
class WorksheetWindow;

// The main window: the form of controls, and the windows it opens. The current settings live in
// its controls and are handed to the session as one value when a button is pressed or the
// preview follows them; the session runs the job's flow.
class MainWindow : public QWidget {
    Q_OBJECT
  public:
    // Messages go to the sink; without one they are shown in message boxes.
    explicit MainWindow(MessageSink* sink = nullptr, QWidget* parent = nullptr);
    ~MainWindow() override;

    WorksheetModel* worksheetModel() const { return m_model; }
    const points::PointTable& pointTable() const;
    // The worksheet window, opened or brought forward as a double click on its icon does.
    WorksheetWindow* openWorksheet();
    WorksheetWindow* worksheetWindow() const;
    guide::UsageWindow* usageWindow() const;
    // The plan preview, opened or brought forward as the preview button does.
    PreviewWindow* openPreview();
    PreviewWindow* previewWindow() const;
    // Selects a cell ("C8") in the worksheet window, opening it and scrolling to the cell.
    void selectCell(const QString& cell);
    // Where the scripts go: $KARUMENIO_DRIVE_C when set, else the folder chosen with
    // "出力先…" (kept between runs), else the root of drive C.
    std::filesystem::path outputFolder() const;
    void setOutputFolder(const QString& folder);
    // The job's points file, which the survey map's fields (図面情報) are kept under; empty for
    // a job pasted or started afresh.
    void setPointsFile(const QString& path);
    // "図面情報": the dialog of the survey map's fields, kept for the job when accepted.
    void editDrawingInfo();

  protected:
    void closeEvent(QCloseEvent* event) override;
    // A points file dropped on the main window goes into the worksheet at A6.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void createControls();
    // Sets every caption and default, as the window shows them after start.
    void loadCaptions();
    void chooseEdition(int edition);
    void selectAngleText();
    void readPoints();
    void writeScripts();
    void endProgram();
    void showUsage();
    void chooseOutputFolder();
    void markSheetChanged();
    void applySettings();
    // Keeps the survey map's checkbox and the coordinate system in the settings store.
    void rememberChoices();
    void refreshPreview();
    void applySuggestion(const QString& paperToken, const QString& scaleToken);
    void takeFocusBack();
    void showProgress(float minimum, float maximum, float value);
    void hideProgress();
    void commitWorksheetEdit();

    std::unique_ptr<MessageSink> m_ownSink;
    MessageSink* m_sink;
    SessionAdapter* m_session;
    WorksheetModel* m_model = nullptr;
    QPointer<WorksheetWindow> m_worksheetWindow;
    QPointer<guide::UsageWindow> m_usageWindow;
    QPointer<PreviewWindow> m_preview;

    QPushButton* m_readButton;
    QPushButton* m_writeButton;
    QPushButton* m_endButton;
    QPushButton* m_usageButton;
    QPushButton* m_previewButton;
    QPushButton* m_folderButton;
    QComboBox* m_paperList;
    QComboBox* m_scaleList;
    QCheckBox* m_surveyMapBox;
    QPushButton* m_drawingInfoButton;
    QComboBox* m_zoneList;
    QLabel* m_zoneCaption;
    // The key the survey map's fields of the job are kept under.
    QString m_drawingInfoKey;
    // The points file the worksheet was opened from, whose name the exports take.
    QString m_pointsFile;
    QLineEdit* m_angleBox;
    OleContainer* m_worksheetIcon;
    QLabel* m_paperCaption;
    QLabel* m_angleCaption;
    QLabel* m_scaleCaption;
    QLabel* m_progressCaption;
    QLabel* m_openHint;
    QLabel* m_editionPrompt;
    // The labels that held the degrees per radian and the edition code, their text drawn in
    // the window's background colour; they keep their places, and nothing reads them.
    QLabel* m_degreesPerRadianHolder;
    QLabel* m_editionHolder;
    // The code of the edition button pressed last; empty before one is.
    std::string m_edition;
    QProgressBar* m_progressBar;
    // One per entry of the edition table, in its order.
    std::vector<QPushButton*> m_editionButtons;
};

} // namespace karumenio::app
