#pragma once

#include "planexport.h"

#include <QWidget>

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

    void setPlan(const plan::Plan& plan);
    // Shows why there is no plan (no read yet, a cell that is not a number) instead.
    void showProblem(const QString& message);

    PlanScene* scene() const { return m_scene; }
    PlanView* view() const { return m_view; }
    QString statusText() const;
    QString fitText() const;
    bool hasSuggestion() const;

    // Writes the plan to the path; false (with a message) when it could not.
    bool exportTo(ExportFormat format, const QString& path);

  public slots:
    // Applies the fit check's suggestion.
    void applySuggestion();

  signals:
    void cellRequested(const QString& cell);
    void pointClicked(int slot);
    void suggestionApplied(const QString& paperToken, const QString& scaleToken);

  private:
    void askAndExport(ExportFormat format);
    void toggleBackground(bool light);

    MessageSink* m_sink;
    PlanScene* m_scene;
    PlanView* m_view;
    QLabel* m_counts;
    QLabel* m_warnings;
    QLabel* m_fit;
    QPushButton* m_apply;
    QList<QPushButton*> m_exportButtons;
    QString m_paperToken;
    QString m_scaleToken;
    bool m_fitted = false;
    std::size_t m_fittedPoints = 0;
};

} // namespace karumenio::app
