#include "shell/fixtopicsfrm.h"

#include "container/crc32unit.h"
#include "models/fixedtopics.h"
#include "platform/userlocale.h"
#include "shell/dialogservice.h"
#include "shell/iconbutton.h"
#include "shell/textconv.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <filesystem>

namespace corvane {
namespace {

constexpr int kColumns = 2 + kFixedTopicSlots; // "N", "Word", five topics
constexpr int kDefaultColWidth = 64;
constexpr int kRowHeight = 20;
const QString kCsvFilter = QStringLiteral("MS Excel files (csv) (*.csv)");

/// The grid of the window; it can hand an open cell editor's text to its item before the cells
/// are written back.
class TTopicsGrid : public QTableWidget
{
public:
    using QTableWidget::QTableWidget;

    void CommitEdit()
    {
        if (QWidget* editor = indexWidget(currentIndex())) {
            commitData(editor);
            closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
    }
};

QTableWidgetItem* FixedItem(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

bool IsFixedTopicsTable(const TFGStreamData& table)
{
    if (table.ColCount() < 1 + kFixedTopicSlots || table.ColumnGetType(0) != fgcText)
        return false;
    for (int i = 1; i <= kFixedTopicSlots; ++i)
        if (table.ColumnGetType(i) != fgcInt)
            return false;
    return table.CellsFitInFile();
}

} // namespace

TFixTopicsFrm::TFixTopicsFrm(IDialogService& dialogs, std::string tableFile,
                             std::shared_ptr<const TLdaInput> input, QWidget* parent)
    : QDialog(parent), m_Dialogs(dialogs), m_TableFile(std::move(tableFile)),
      m_Input(std::move(input))
{
    setWindowTitle(QStringLiteral("Topic Fixing"));
    Grid = new TTopicsGrid(0, kColumns, this);
    Grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Grid->verticalHeader()->hide();
    Grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Grid->verticalHeader()->setDefaultSectionSize(kRowHeight);
    Grid->horizontalHeader()->setDefaultSectionSize(kDefaultColWidth);
    Grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Grid->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid->setFixedHeight(Grid->horizontalHeader()->sizeHint().height() +
                         kMaxVisibleRows * kRowHeight + 2 * Grid->frameWidth());
    Grid->setMinimumWidth(kColumns * kDefaultColWidth + 80);
    Grid->installEventFilter(this);
    Grid->viewport()->installEventFilter(this);

    ScrollBar = new QScrollBar(Qt::Vertical, this);
    ScrollBar->setRange(0, 0);
    ScrollBar->setPageStep(kMaxVisibleRows);
    connect(ScrollBar, &QScrollBar::valueChanged, this, [this] { Refresh(); });
    // Edits are stored as soon as the focus leaves the grid and its cell editors.
    m_FocusWatch =
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
            auto inGrid = [this](QWidget* w) { return w && (w == Grid || Grid->isAncestorOf(w)); };
            if (inGrid(old) && !inGrid(now))
                Refresh();
        });

    SearchEdit = new QLineEdit(QStringLiteral("no"), this);
    SearchBtn = IconButton(this, QStyle::SP_FileDialogContentsView, QString());
    connect(SearchEdit, &QLineEdit::returnPressed, SearchBtn, &QToolButton::click);
    connect(SearchBtn, &QToolButton::clicked, this, &TFixTopicsFrm::SearchBtnClick);

    ExportBtn = new QPushButton(QStringLiteral("Export to file..."), this);
    LoadBtn = new QPushButton(QStringLiteral("Load from file..."), this);
    ResetBtn = new QPushButton(QStringLiteral("Reset all data..."), this);
    CloseBtn = new QPushButton(QStringLiteral("Close"), this);
    for (QPushButton* button : {ExportBtn, LoadBtn, ResetBtn, CloseBtn})
        button->setAutoDefault(false); // Enter in the search edit searches
    connect(ExportBtn, &QPushButton::clicked, this, &TFixTopicsFrm::ExportBtnClick);
    connect(LoadBtn, &QPushButton::clicked, this, &TFixTopicsFrm::LoadBtnClick);
    connect(ResetBtn, &QPushButton::clicked, this, &TFixTopicsFrm::ResetBtnClick);
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::accept);

    auto* search = new QHBoxLayout;
    search->addWidget(new QLabel(QStringLiteral("Search in list of words:"), this));
    search->addWidget(SearchEdit, 1);
    search->addWidget(SearchBtn);
    auto* table = new QHBoxLayout;
    table->setSpacing(0);
    table->addWidget(Grid, 1);
    table->addWidget(ScrollBar);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ExportBtn);
    buttons->addWidget(LoadBtn);
    buttons->addWidget(ResetBtn);
    buttons->addStretch(1);
    buttons->addWidget(CloseBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(search);
    layout->addLayout(table);
    layout->addLayout(buttons);
    resize(640, sizeHint().height());
}

TFixTopicsFrm::~TFixTopicsFrm()
{
    // The widgets' own destruction moves the focus; this half of the window is gone by then.
    disconnect(m_FocusWatch);
}

void TFixTopicsFrm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_FirstActivated)
        return;
    m_FirstActivated = false;
    QStringList headers = {QStringLiteral("N"), QStringLiteral("Word")};
    for (int i = 1; i <= kFixedTopicSlots; ++i)
        headers << QStringLiteral("Topic %1").arg(i);
    Grid->setHorizontalHeaderLabels(headers);
    std::error_code ec;
    std::string error;
    if (!std::filesystem::exists(m_TableFile, ec) &&
        !CreateFixedTopicsTable(m_TableFile, m_Input->wordmap, error))
        ShowError(error);
    OpenTable();
    FitWordColumn();
}

void TFixTopicsFrm::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    FitWordColumn();
}

void TFixTopicsFrm::FitWordColumn()
{
    Grid->setColumnWidth(
        1, std::max(kDefaultColWidth, Grid->viewport()->width() - 6 * kDefaultColWidth - 10));
}

void TFixTopicsFrm::OpenTable()
{
    CloseTable();
    if (!m_Table.OpenDataFile(m_TableFile, false)) {
        ShowError(m_Table.LastError());
    } else if (!IsFixedTopicsTable(m_Table)) {
        m_Table.CloseDataFile();
        ShowError(m_TableFile + ": not a fixed-topics table");
    }
    const int32_t rows = m_Table.IsOpen() ? m_Table.RowCount() : 0;
    m_VisibleRows = std::min(rows, kMaxVisibleRows);
    Grid->setRowCount(m_VisibleRows);
    for (int j = 0; j < m_VisibleRows; ++j)
        for (int c = 0; c < kColumns; ++c)
            Grid->setItem(j, c, c < 2 ? FixedItem({}) : new QTableWidgetItem);
    const QSignalBlocker block(ScrollBar);
    ScrollBar->setRange(0, std::max(0, rows - kMaxVisibleRows));
    ScrollBar->setValue(0);
    Refresh();
}

void TFixTopicsFrm::CloseTable()
{
    m_Table.CloseDataFile();
    m_PrevPosition = -1;
    m_VisibleRows = 0;
    Grid->setRowCount(0);
}

void TFixTopicsFrm::WriteBack()
{
    static_cast<TTopicsGrid*>(Grid)->CommitEdit();
    if (m_PrevPosition < 0 || !m_Table.IsOpen())
        return;
    for (int j = 0; j < m_VisibleRows; ++j) {
        for (int i = 1; i <= kFixedTopicSlots; ++i) {
            int32_t topic = 0;
            if (ParseInt32(ToUtf8(Grid->item(j, 1 + i)->text()), topic))
                m_Table.WriteData(i, m_PrevPosition + j, topic);
        }
    }
    m_Table.Flush(); // a run reads the table through a handle of its own
}

void TFixTopicsFrm::Refresh()
{
    WriteBack();
    if (!m_Table.IsOpen())
        return;
    const int32_t position = ScrollBar->value();
    for (int j = 0; j < m_VisibleRows; ++j) {
        const int32_t row = position + j;
        Grid->item(j, 0)->setText(QString::number(row + 1));
        Grid->item(j, 1)->setText(FromAnsi(m_Table.GetDataAsText(0, row)));
        for (int i = 1; i <= kFixedTopicSlots; ++i)
            Grid->item(j, 1 + i)->setText(QString::number(m_Table.GetDataAsInt(i, row)));
    }
    m_PrevPosition = position;
}

void TFixTopicsFrm::ScrollBy(int rows)
{
    ScrollBar->setValue(ScrollBar->value() + rows);
}

bool TFixTopicsFrm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Grid && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const int row = Grid->currentRow();
        if (key->key() == Qt::Key_Up && row == 0) {
            ScrollBy(-1);
            return true;
        }
        if (key->key() == Qt::Key_Down && row == m_VisibleRows - 1) {
            ScrollBy(1);
            return true;
        }
    } else if (watched == Grid->viewport() && event->type() == QEvent::Wheel) {
        const int notches = static_cast<QWheelEvent*>(event)->angleDelta().y() / 120;
        ScrollBy(-notches);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TFixTopicsFrm::SearchBtnClick()
{
    const uint32_t id = WordId(ToAnsi(SearchEdit->text()));
    const TWordAndFreqArray& wordmap = m_Input->wordmap;
    const auto found = std::find_if(wordmap.begin(), wordmap.end(),
                                    [id](const TWordAndFreq& wf) { return wf.wfuID == id; });
    if (found != wordmap.end())
        ScrollBar->setValue(static_cast<int>(found - wordmap.begin()));
}

void TFixTopicsFrm::ExportBtnClick()
{
    const auto path =
        m_Dialogs.AskSaveFile("Export topic fixing data...", ToUtf8(kCsvFilter), "csv", {});
    if (!path)
        return;
    Refresh(); // the file gets what the grid shows
    std::string error;
    if (!ExportFixedTopicsCsv(m_TableFile, *path, error))
        ShowError(error);
}

void TFixTopicsFrm::LoadBtnClick()
{
    const auto path = m_Dialogs.AskOpenFile("Load topic fixing data...", ToUtf8(kCsvFilter), {});
    if (!path)
        return;
    CloseTable();
    std::string error;
    if (!LoadFixedTopicsCsv(*path, m_TableFile, error))
        ShowError(error); // the table keeps what it had
    OpenTable();
}

void TFixTopicsFrm::ResetBtnClick()
{
    if (m_Dialogs.MessageBox("Are you sure you want to reset all topic fixing data?", "Warning",
                             TMsgIcon::Question, TMsgButtons::YesNo) != TMsgResult::Yes)
        return;
    CloseTable();
    std::string error;
    if (!CreateFixedTopicsTable(m_TableFile, m_Input->wordmap, error))
        ShowError(error);
    OpenTable();
}

void TFixTopicsFrm::done(int result)
{
    WriteBack();
    CloseTable();
    Grid->clearContents();
    QDialog::done(result);
}

void TFixTopicsFrm::ShowError(const std::string& text)
{
    m_Dialogs.MessageBox(text, "Error", TMsgIcon::Warning);
}

} // namespace corvane
