#pragma once

#include <QWidget>

#include <QUrl>

#include <functional>
#include <vector>

class QLabel;
class QPushButton;

namespace karumenio::job {
struct Preview;
}

namespace karumenio::app {

class MessageSink;
class PlanScene;
class PlanView;
struct PlanExport;
class SessionAdapter;

// "図面プレビュー": the plan as the drawing program will draw it, before any script is run,
// with its counts, its warnings (each a link to its cell), the fit check with a suggestion
// to apply, and the exports.
class PreviewWindow : public QWidget {
    Q_OBJECT
  public:
    // The exports and the questions go through the session.
    explicit PreviewWindow(SessionAdapter* session, QWidget* parent = nullptr);

    // The session's preview of the plan to show: the drawing, its counts, warnings, fit check
    // and place on the map.
    void setPlan(const job::Preview& preview);
    // Shows why there is no plan (no read yet, a cell that is not a number) instead.
    void showProblem(const QString& message);

    // Marks the drawing as older than the worksheet (a banner, the drawing greyed) or current.
    void setOutOfDate(bool outOfDate);
    bool isOutOfDate() const { return m_outOfDate; }

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

    // Writes the plan as the export of this token (see planExports()) to the path, through the
    // session, with its message; false when it refused or could not.
    bool exportTo(const QString& token, const QString& path);
    // The export button's whole sequence: the question when the drawing is out of date, the
    // refusal where the write run would refuse, the save dialog, the file and the message.
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
    // The map button, with the web map's address or why there is none.
    void showMapButton(const QString& address, const QString& unavailable);
    // False, after saying why, when the format's writer refuses the plan as it is.
    bool formatAccepts(const PlanExport& entry, const QString& path);

    SessionAdapter* m_session;
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
    bool m_outOfDate = false;
    // The sheet's frame the view was last fitted to: a new frame is shown whole.
    std::vector<QPointF> m_fittedFrame;
};

} // namespace karumenio::app
