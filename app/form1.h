#pragma once

#include <QPointer>
#include <QWidget>

#include <exception>
#include <filesystem>
#include <memory>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace karumenio::points {
struct PointTable;
} // namespace karumenio::points

namespace karumenio::job {
class Job;
} // namespace karumenio::job

namespace karumenio::guide {
class Form2;
} // namespace karumenio::guide

namespace karumenio::app {

class MessageSink;
class OleContainer;
class PreviewWindow;
class WorksheetModel;
class WorksheetWindow;

// The main window. The current settings live in its controls and are read when a button is
// pressed; the window holds the job: the embedded workbook, the point table and the values
// the write runs share.
class Form1 : public QWidget {
    Q_OBJECT
  public:
    // Messages go to the sink; without one they are shown in message boxes.
    explicit Form1(MessageSink* sink = nullptr, QWidget* parent = nullptr);
    ~Form1() override;

    WorksheetModel* worksheetModel() const { return m_model; }
    const points::PointTable& pointTable() const;
    // The worksheet window, opened or brought forward as a double click on OLE1 does.
    WorksheetWindow* openWorksheet();
    WorksheetWindow* worksheetWindow() const;
    guide::Form2* usageWindow() const;
    // The plan preview, opened or brought forward as the preview button does.
    PreviewWindow* openPreview();
    PreviewWindow* previewWindow() const;
    // Selects a cell ("C8") in the worksheet window, opening it and scrolling to the cell.
    void selectCell(const QString& cell);
    // Where the scripts go: $KARUMENIO_DRIVE_C when set, else the folder chosen with
    // "出力先…" (kept between runs), else the root of drive C.
    std::filesystem::path outputFolder() const;
    void setOutputFolder(const QString& folder);

  protected:
    void closeEvent(QCloseEvent* event) override;
    // A points file dropped on the main window goes into the worksheet at A6.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void createControls();
    void Form_Load();
    void Option_Click(int edition);
    void Text1_GotFocus();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    // Shows a failure and selects the cell it names.
    void reportFailure(const QString& title, const std::exception& error);
    void applySettings();
    void refreshPreview();
    void applySuggestion(const QString& paperToken, const QString& scaleToken);
    void OLE1_Activate();
    void takeFocusBack();
    void showProgress(float minimum, float maximum, float value);
    void hideProgress();
    void commitWorksheetEdit();

    std::unique_ptr<MessageSink> m_ownSink;
    MessageSink* m_sink;
    std::unique_ptr<job::Job> m_job;
    WorksheetModel* m_model = nullptr;
    QPointer<WorksheetWindow> m_worksheetWindow;
    QPointer<guide::Form2> m_usageWindow;
    QPointer<PreviewWindow> m_preview;
    bool m_sheetChangedSinceRead = false;

    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QPushButton* Command4;
    QPushButton* Command5;
    QPushButton* Command6;
    QComboBox* Combo1;
    QComboBox* Combo2;
    QLineEdit* Text1;
    OleContainer* OLE1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QLabel* Label7;
    QLabel* Label8;
    QProgressBar* ProgressBar1;
    // Option1, Option2, …: the edition buttons, in the order of the edition table.
    std::vector<QPushButton*> m_options;
};

} // namespace karumenio::app
