#include "shell/ldatab.h"

#include "shell/fileedit.h"
#include "shell/iconbutton.h"
#include "shell/statuspanels.h"
#include "shell/textconv.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <QThread>
#include <QToolButton>
#include <QValueAxis>

#include <algorithm>

namespace corvane {
namespace {

QToolButton* HintButton(QWidget* parent, QStyle::StandardPixmap icon, const QString& hint)
{
    QToolButton* button = IconButton(parent, icon, hint);
    button->setIconSize(QSize(24, 24));
    return button;
}

/// 1, 2 or 5 times a power of ten, at least `step` and at least 1: iterations are whole.
double RoundStep(double step)
{
    double power = 1;
    while (power * 10 <= step)
        power *= 10;
    for (double factor : {1.0, 2.0, 5.0, 10.0})
        if (power * factor >= step)
            return power * factor;
    return power * 10;
}

QLineEdit* NumberEdit(const QString& text, QWidget* parent)
{
    auto* edit = new QLineEdit(text, parent);
    edit->setMaximumWidth(90);
    return edit;
}

} // namespace

TLdaTab::TLdaTab(IDialogService& dialogs, QWidget* parent) : QWidget(parent), m_Dialogs(dialogs)
{
    auto* content = new QWidget(this);
    auto* left = new QVBoxLayout;
    left->addWidget(BuildData());
    left->addWidget(BuildParameters());
    left->addWidget(BuildResults());
    left->addStretch(1);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addWidget(BuildChart(), 1);

    SaveProjectBtn = new QPushButton(QStringLiteral("Save project"), content);
    LoadProjectBtn = new QPushButton(QStringLiteral("Load project."), content);
    CloseBtn = new QPushButton(QStringLiteral("Close program"), content);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(SaveProjectBtn);
    bottom->addWidget(LoadProjectBtn);
    bottom->addStretch(1);
    bottom->addWidget(CloseBtn);

    auto* contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(6, 6, 6, 0);
    contentLayout->addLayout(columns, 1);
    contentLayout->addLayout(bottom);

    StatusBar = new TStatusPanels(this);
    StatusBar->SetPanel(1, QStringLiteral("File name:  "));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(content, 1);
    layout->addWidget(StatusBar);

    connect(MethodBox, &QComboBox::currentIndexChanged, this,
            [this] { UpdateControls(m_Running); });
    UpdateControls(false);
}

QWidget* TLdaTab::BuildData()
{
    auto* box = new QGroupBox(QStringLiteral("Data"), this);
    LoadDataBtn = new QToolButton(box);
    LoadDataBtn->setText(QStringLiteral("Load data into LDA"));
    LoadDataBtn->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    LoadDataBtn->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    LoadDataBtn->setPopupMode(QToolButton::MenuButtonPopup);
    DocCountLabel = new QLabel(QStringLiteral("0"), box);
    WordCountLabel = new QLabel(QStringLiteral("0"), box);
    SentDicEdit =
        new TFileEdit(m_Dialogs, TFileEditKind::OpenFile, QStringLiteral("Sentiment dictionary"),
                      QStringLiteral("Binary files (*.bin)"), QStringLiteral("bin"), false, box);
    SentDicEdit->Edit->setReadOnly(true); // chosen through the dialog only

    auto* grid = new QGridLayout(box);
    grid->addWidget(LoadDataBtn, 0, 0, 1, 2, Qt::AlignLeft);
    grid->addWidget(new QLabel(QStringLiteral("Number of documents:"), box), 1, 0);
    grid->addWidget(DocCountLabel, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Number of words in documents:"), box), 2, 0);
    grid->addWidget(WordCountLabel, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Sentiment dict:"), box), 3, 0);
    grid->addWidget(SentDicEdit, 3, 1);
    grid->setColumnStretch(1, 1);
    return box;
}

QWidget* TLdaTab::BuildParameters()
{
    auto* box = new QGroupBox(QStringLiteral("Parameters"), this);
    AlphaEdit = NumberEdit(QStringLiteral("0,5"), box);
    BetaEdit = NumberEdit(QStringLiteral("0,1"), box);
    TopicsEdit = NumberEdit(QStringLiteral("40"), box);
    IterEdit = NumberEdit(QStringLiteral("100"), box);
    SaveStepEdit = NumberEdit(QStringLiteral("10"), box);
    ThreadsSpin = new QSpinBox(box);
    const int processors = std::max(1, QThread::idealThreadCount());
    ThreadsSpin->setRange(1, processors);
    ThreadsSpin->setValue(processors);
    OmpRadio = new QRadioButton(QStringLiteral("OMP"), box);
    OmpRadio->setChecked(true);
    MethodBox = new QComboBox(box);
    MethodBox->addItems(
        {QStringLiteral("LDA"), QStringLiteral("ISLDA"), QStringLiteral("Granulate LDA")});
    MethodBox->setCurrentIndex(-1);
    MethodBox->setMinimumContentsLength(14);
    WindowLabel = new QLabel(QStringLiteral("Window:"), box);
    WindowSpin = new QSpinBox(box);
    WindowSpin->setRange(1, 50);
    WindowSpin->setValue(1);
    FixTopicsBtn = new QPushButton(QStringLiteral("Fix topics..."), box);

    RunBtn = HintButton(box, QStyle::SP_MediaPlay, QStringLiteral("Run simulation"));
    StopBtn = HintButton(box, QStyle::SP_MediaStop, QStringLiteral("Stop simulation"));
    ChartSaveBtn =
        HintButton(box, QStyle::SP_DialogSaveButton, QStringLiteral("Saving chart to txt file"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(RunBtn);
    buttons->addWidget(StopBtn);
    buttons->addWidget(ChartSaveBtn);
    buttons->addStretch(1);

    auto* threads = new QHBoxLayout;
    threads->addWidget(ThreadsSpin);
    threads->addWidget(OmpRadio);
    threads->addStretch(1);
    auto* method = new QHBoxLayout;
    method->addWidget(MethodBox);
    method->addWidget(WindowLabel);
    method->addWidget(WindowSpin);
    method->addStretch(1);

    auto* grid = new QGridLayout(box);
    const std::pair<const char*, QWidget*> rows[] = {
        {"Alpha:", AlphaEdit},
        {"Beta:", BetaEdit},
        {"Number of topics:", TopicsEdit},
        {"Number of iteration:", IterEdit},
        {"Save step:", SaveStepEdit},
    };
    int row = 0;
    for (const auto& [label, edit] : rows) {
        grid->addWidget(new QLabel(QString::fromUtf8(label), box), row, 0);
        grid->addWidget(edit, row++, 1);
    }
    grid->addWidget(new QLabel(QStringLiteral("Number of threads:"), box), row, 0);
    grid->addLayout(threads, row++, 1);
    grid->addWidget(new QLabel(QStringLiteral("Method:"), box), row, 0);
    grid->addLayout(method, row++, 1);
    grid->addWidget(FixTopicsBtn, row++, 1, Qt::AlignLeft);
    grid->addLayout(buttons, row, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    return box;
}

QWidget* TLdaTab::BuildChart()
{
    m_Chart = new QChart;
    m_Chart->setTitle(QStringLiteral("Ratio"));
    m_Chart->legend()->hide();
    m_Chart->setLocalizeNumbers(true);
    m_AxisX = new QValueAxis(m_Chart);
    m_AxisX->setTitleText(QStringLiteral("Iteration"));
    m_AxisX->setLabelFormat(QStringLiteral("%.0f"));
    m_AxisX->setTickType(QValueAxis::TicksDynamic);
    m_AxisX->setTickAnchor(0);
    m_AxisY = new QValueAxis(m_Chart);
    m_Chart->addAxis(m_AxisX, Qt::AlignBottom);
    m_Chart->addAxis(m_AxisY, Qt::AlignLeft);
    for (int i = 0; i < 2; ++i) {
        m_Lines[i] = new QLineSeries(m_Chart);
        m_Areas[i] = new QAreaSeries(m_Lines[i]);
    }
    // The areas overlap: the document-topic one is drawn last and stays see-through, so that
    // the other shows through it.
    const QColor colors[2] = {QColor(32, 120, 200), QColor(240, 150, 40)};
    for (int i : {1, 0}) {
        m_Chart->addSeries(m_Areas[i]);
        m_Areas[i]->attachAxis(m_AxisX);
        m_Areas[i]->attachAxis(m_AxisY);
        QColor fill = colors[i];
        fill.setAlpha(i == 0 ? 130 : 200);
        m_Areas[i]->setColor(fill);
        m_Areas[i]->setBorderColor(colors[i]);
    }
    FitAxes();

    ChartView = new QChartView(m_Chart, this);
    ChartView->setRenderHint(QPainter::Antialiasing);
    ChartView->setMinimumSize(360, 260);
    return ChartView;
}

QWidget* TLdaTab::BuildResults()
{
    auto* box = new QGroupBox(QStringLiteral("Results"), this);
    ThetaViewBtn = new QPushButton(QStringLiteral("Topic - Document distribution"), box);
    PhiViewBtn = new QPushButton(QStringLiteral("Topic - Word distribution"), box);
    PhiSortBtn = new QPushButton(QStringLiteral("Sorted word - topic distribution"), box);
    ThetaSortBtn = new QPushButton(QStringLiteral("Sorted document - topic  distribution"), box);
    RatioCheckBtn = HintButton(box, QStyle::SP_FileDialogInfoView, QString());

    auto* grid = new QGridLayout(box);
    grid->addWidget(ThetaViewBtn, 0, 0);
    grid->addWidget(PhiViewBtn, 0, 1);
    grid->addWidget(RatioCheckBtn, 0, 2);
    grid->addWidget(ThetaSortBtn, 1, 0);
    grid->addWidget(PhiSortBtn, 1, 1);
    for (QPushButton* view : {ThetaViewBtn, PhiViewBtn, PhiSortBtn, ThetaSortBtn})
        view->setEnabled(false);
    return box;
}

TLdaRunParams TLdaTab::Params() const
{
    TLdaRunParams params;
    params.alpha = ToUtf8(AlphaEdit->text());
    params.beta = ToUtf8(BetaEdit->text());
    params.topics = ToUtf8(TopicsEdit->text());
    params.iterations = ToUtf8(IterEdit->text());
    params.saveStep = ToUtf8(SaveStepEdit->text());
    params.threads = ThreadsSpin->value();
    params.method = MethodBox->currentIndex();
    params.window = WindowSpin->value();
    return params;
}

void TLdaTab::ShowCounts(int32_t documents, int32_t words)
{
    DocCountLabel->setText(QString::number(documents));
    WordCountLabel->setText(QString::number(words));
}

void TLdaTab::UpdateControls(bool running)
{
    m_Running = running;
    RunBtn->setEnabled(!running);
    StopBtn->setEnabled(running);
    FixTopicsBtn->setEnabled(MethodBox->currentIndex() == kMethodIslda);
    const bool granulate = MethodBox->currentIndex() == kMethodGranulate;
    WindowLabel->setVisible(granulate);
    WindowSpin->setVisible(granulate);
}

void TLdaTab::ClearChart()
{
    for (QLineSeries* line : m_Lines)
        line->clear();
    FitAxes();
}

void TLdaTab::AddChartPoint(int series, double x, double y)
{
    if (series != 1 && series != 2)
        return;
    QLineSeries* line = m_Lines[series - 1];
    const QList<QPointF> points = line->points();
    const auto at = std::upper_bound(points.begin(), points.end(), x,
                                     [](double v, const QPointF& p) { return v < p.x(); });
    line->insert(static_cast<int>(at - points.begin()), QPointF(x, y));
    FitAxes();
}

QList<QPointF> TLdaTab::ChartPoints(int series) const
{
    return series == 1 || series == 2 ? m_Lines[series - 1]->points() : QList<QPointF>();
}

void TLdaTab::FitAxes()
{
    double minX = 0, maxX = 10, maxY = 0;
    bool any = false;
    for (const QLineSeries* line : m_Lines) {
        for (const QPointF& p : line->points()) {
            minX = any ? std::min(minX, p.x()) : p.x();
            maxX = any ? std::max(maxX, p.x()) : p.x();
            maxY = std::max(maxY, p.y());
            any = true;
        }
    }
    maxX = std::max(maxX, minX + 1);
    m_AxisX->setRange(minX, maxX);
    m_AxisX->setTickInterval(RoundStep((maxX - minX) / 5));
    m_AxisY->setRange(0, maxY > 0 ? maxY * 1.05 : 100);
    m_AxisY->applyNiceNumbers();
}

} // namespace corvane
