#pragma once

#include "models/ldarun.h"

#include <QWidget>

#include <cstdint>

class QAreaSeries;
class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QLineEdit;
class QLineSeries;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QToolButton;
class QValueAxis;

namespace corvane {

class IDialogService;
class TFileEdit;
class TStatusPanels;

/// The "Gibbs LDA sampling" tab: the loaded data's counts and the sentiment dictionary field,
/// the run parameters, the run buttons, the "Ratio" chart and the status bar. It only holds and
/// arranges its controls; the main window handles their clicks.
class TLdaTab : public QWidget
{
    Q_OBJECT

public:
    explicit TLdaTab(IDialogService& dialogs, QWidget* parent = nullptr);

    /// The run inputs as typed; the fixed-topics file is left to the caller.
    TLdaRunParams Params() const;
    /// The counts of a loaded container.
    void ShowCounts(int32_t documents, int32_t words);
    /// Run and stop buttons follow the run; "Fix topics..." and "Window:" follow the method.
    void UpdateControls(bool running);

    void ClearChart();
    /// Adds a point to series 1 (document-topic) or 2 (topic-word), keeping x ascending.
    void AddChartPoint(int series, double x, double y);
    /// The points of a series as the chart holds them.
    QList<QPointF> ChartPoints(int series) const;

    QToolButton* LoadDataBtn; // with the recent-files drop-down
    QLabel* DocCountLabel;
    QLabel* WordCountLabel;
    TFileEdit* SentDicEdit;

    QLineEdit* AlphaEdit;
    QLineEdit* BetaEdit;
    QLineEdit* TopicsEdit;
    QLineEdit* IterEdit;
    QLineEdit* SaveStepEdit;
    QSpinBox* ThreadsSpin;
    QComboBox* MethodBox;
    QLabel* WindowLabel;
    QSpinBox* WindowSpin;
    QRadioButton* OmpRadio;
    QPushButton* FixTopicsBtn;

    QToolButton* RunBtn;
    QToolButton* StopBtn;
    QToolButton* ChartSaveBtn;
    QToolButton* RatioCheckBtn;
    QChartView* ChartView;

    // The result views open windows of their own; until those exist the buttons stay disabled.
    QPushButton* ThetaViewBtn;
    QPushButton* PhiViewBtn;
    QPushButton* PhiSortBtn;
    QPushButton* ThetaSortBtn;

    QPushButton* SaveProjectBtn;
    QPushButton* LoadProjectBtn;
    QPushButton* CloseBtn;
    TStatusPanels* StatusBar;

private:
    QWidget* BuildData();
    QWidget* BuildParameters();
    QWidget* BuildChart();
    QWidget* BuildResults();
    void FitAxes();

    IDialogService& m_Dialogs;
    QChart* m_Chart;
    QLineSeries* m_Lines[2];
    QAreaSeries* m_Areas[2];
    QValueAxis* m_AxisX;
    QValueAxis* m_AxisY;
    bool m_Running = false;
};

} // namespace corvane
