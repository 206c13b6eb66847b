#pragma once

#include <QStatusBar>

class QLabel;
class QProgressBar;

namespace corvane {

/// A tab's status bar: panel 0 (the "Status:" text), panel 1 (file name or execution
/// percentage) and a progress gauge.
class TStatusPanels : public QStatusBar
{
    Q_OBJECT

public:
    explicit TStatusPanels(QWidget* parent = nullptr);

    void SetPanel(int index, const QString& text);
    QString Panel(int index) const;
    QProgressBar* Gauge() const { return m_Gauge; }

private:
    QLabel* m_Panels[2];
    QProgressBar* m_Gauge;
};

} // namespace corvane
