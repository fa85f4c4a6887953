#pragma once

#include "planexport.h"

#include "job/settings.h"

#include <QWidget>

#include <QUrl>

#include <functional>
#include <vector>

class QLabel;
class QPushButton;

namespace karumenio::plan {
struct Plan;
}

namespace karumenio::app {

class MessageSink;
class PlanScene;
class PlanView;

// "図面プレビュー": the plan as the drawing program will draw it, before any script is run,
// with its counts, its warnings (each a link to its cell), the fit check with a suggestion
// to apply, and the exports.
class PreviewWindow : public QWidget {
    Q_OBJECT
  public:
    explicit PreviewWindow(MessageSink* sink, QWidget* parent = nullptr);

    // The plan to show and export, with the settings it was computed with, which the writers
    // of the exports may take too.
    void setPlan(const plan::Plan& plan, const job::Settings& settings = {});
    // Shows why there is no plan (no read yet, a cell that is not a number) instead.
    void showProblem(const QString& message);

    // Marks the drawing as older than the worksheet (a banner, the drawing greyed) or current.
    void setOutOfDate(bool outOfDate);
    bool isOutOfDate() const { return m_outOfDate; }

    // Asked before an export or a suggestion uses an out-of-date drawing, with the title and
    // the answers to offer (read again, use the read points, cancel); true to go on, with
    // the drawing then as the answer left it.
    using ReadCheck = std::function<bool(const QString& title, const QStringList& answers)>;
    void setReadCheck(ReadCheck check) { m_readCheck = std::move(check); }

    // "地図で確認": the web map's address of the plan, empty when no coordinate system is
    // chosen or the points have no place in it.
    QString mapAddress() const { return m_mapAddress; }
    // Opens the web map at the plan (QDesktopServices unless replaced, as the tests do).
    void openMap();
    using UrlOpener = std::function<bool(const QUrl& url)>;
    void setUrlOpener(UrlOpener opener) { m_openUrl = std::move(opener); }

    PlanScene* scene() const { return m_scene; }
    PlanView* view() const { return m_view; }
    QString statusText() const;
    QString fitText() const;
    bool hasSuggestion() const;

    // Where the save dialogs start: the folder the scripts go to, and the points file the sheet
    // was opened from (empty: none), whose name the files take.
    void setSaveFolder(const QString& folder) { m_saveFolder = folder; }
    void setPointsFile(const QString& path) { m_pointsFile = path; }
    // The path the save dialog of this export starts at: the points file's name, or 図面, with
    // the export's ending, in the save folder; never the points file itself.
    QString suggestedPath(const QString& token) const;

    // Writes the plan as the export of this token (see planExports()) to the path; false
    // (with a message) when it could not.
    bool exportTo(const QString& token, const QString& path);
    // The export button's whole sequence: the question when the drawing is out of date, what
    // the format refuses whatever the name (GeoJSON without a coordinate system), the save
    // dialog, the file and the message.
    void askAndExport(const QString& token);

  public slots:
    // Applies the fit check's suggestion.
    void applySuggestion();

  signals:
    void cellRequested(const QString& cell);
    // The banner's button: read the worksheet again.
    void readRequested();
    void pointClicked(int slot);
    void suggestionApplied(const QString& paperToken, const QString& scaleToken);

  private:
    void toggleBackground(bool light);
    // The map button and the placement warning for the plan in the settings' system.
    QStringList locate(const plan::Plan& plan);
    // False when the drawing is out of date and the surveyor did not choose to go on.
    bool useOfDrawingConfirmed(const QString& title, const QStringList& answers);
    // False, after saying why, when the format's writer refuses the plan as it is.
    bool formatAccepts(const PlanExport& entry, const QString& path);

    MessageSink* m_sink;
    PlanScene* m_scene;
    PlanView* m_view;
    QWidget* m_banner;
    QLabel* m_counts;
    QLabel* m_warnings;
    QLabel* m_fit;
    QPushButton* m_apply;
    QPushButton* m_mapButton;
    QString m_mapAddress;
    QString m_saveFolder;
    QString m_pointsFile;
    UrlOpener m_openUrl;
    QList<QPushButton*> m_exportButtons;
    QString m_paperToken;
    QString m_scaleToken;
    job::Settings m_settings;
    ReadCheck m_readCheck;
    bool m_outOfDate = false;
    // The sheet's frame the view was last fitted to: a new frame is shown whole.
    std::vector<QPointF> m_fittedFrame;
};

} // namespace karumenio::app
