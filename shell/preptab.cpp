#include "shell/preptab.h"

#include "container/binarydoc.h"
#include "grid/fastgrid.h"
#include "platform/appdirs.h"
#include "platform/elapsed.h"
#include "prep/deltagmystemansithread.h"
#include "prep/freqtable.h"
#include "prep/stage2.h"
#include "prep/stage3.h"
#include "shell/dialogservice.h"
#include "shell/fileedit.h"
#include "shell/iconbutton.h"
#include "shell/statuspanels.h"
#include "shell/textconv.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

namespace corvane {
namespace {

const QString kLdaFilter = QStringLiteral("Corvane LDA files (*.cvlda)");

QPushButton* RunButton(QWidget* parent, const QString& hint)
{
    auto* button =
        new QPushButton(parent->style()->standardIcon(QStyle::SP_MediaPlay), hint, parent);
    button->setToolTip(hint);
    return button;
}

} // namespace

TPrepTab::TPrepTab(IDialogService& dialogs, IMainThread& mainThread, QWidget* parent)
    : QWidget(parent), m_Dialogs(dialogs), m_MainThread(mainThread),
      m_FreqTableFile(FreqTablePath())
{
    Content = new QWidget(this);
    auto* left = new QVBoxLayout;
    left->addWidget(BuildStep1());
    left->addWidget(BuildStep2());
    left->addWidget(BuildStep3(), 1);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addWidget(BuildWordList(), 1);

    CloseBtn = new QPushButton(QStringLiteral("Close program"), Content);
    connect(CloseBtn, &QPushButton::clicked, this, [this] {
        if (OnCloseProgram)
            OnCloseProgram();
    });
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(CloseBtn);

    auto* contentLayout = new QVBoxLayout(Content);
    contentLayout->setContentsMargins(6, 6, 6, 0);
    contentLayout->addLayout(columns, 1);
    contentLayout->addLayout(bottom);

    StatusBar = new TStatusPanels(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Content, 1);
    layout->addWidget(StatusBar);
    ConnectHandlers();
}

// A stage still running when the tab goes is stopped and joined by its destructor; the window's
// dispatcher has been shut down by then, so no stage waits for this thread.
TPrepTab::~TPrepTab() = default;

void TPrepTab::ConnectHandlers()
{
    connect(Stage1_CodepageBox, &QComboBox::activated, this, &TPrepTab::CodepageChange);
    connect(Stage1_RunBtn, &QPushButton::clicked, this, &TPrepTab::Stage1_RunBtnClick);
    connect(Stage2_RunBtn, &QPushButton::clicked, this, &TPrepTab::Stage2_RunBtnClick);
    connect(Stage3_RunBtn, &QPushButton::clicked, this, &TPrepTab::Stage3_RunBtnClick);
    connect(SearchBtn, &QToolButton::clicked, this, &TPrepTab::SearchBtnClick);
    connect(ExportBtn, &QToolButton::clicked, this, &TPrepTab::ExportBtnClick);
    connect(FiltrationBtn, &QToolButton::clicked, this, &TPrepTab::SaveFilteredClick);
    connect(WriteToStopWordsItem, &QAction::triggered, this, &TPrepTab::WriteToStopWordsClick);
    connect(SaveToFileItem, &QAction::triggered, this, &TPrepTab::SaveFilteredClick);
    connect(ClearStopWordsBtn, &QToolButton::clicked, this, &TPrepTab::ClearStopWordsClick);
    connect(SaveStopWordsBtn, &QToolButton::clicked, this, &TPrepTab::SaveStopWordsClick);
    connect(LoadStopWordsBtn, &QToolButton::clicked, this, &TPrepTab::LoadStopWordsClick);
}

QWidget* TPrepTab::BuildStep1()
{
    auto* box = new QGroupBox(
        QStringLiteral("STEP 1. Assembling, deleting HTML tags and Lemmatisation"), Content);
    Stage1_FolderEdit =
        new TFileEdit(m_Dialogs, TFileEditKind::Folder,
                      QStringLiteral("Folder with original text files"), {}, {}, false, box);
    Stage1_FolderEdit->SetStartDir(ProgramDir());
    Stage1_ResultEdit =
        new TFileEdit(m_Dialogs, TFileEditKind::SaveFile, QStringLiteral("Result file (binary)"),
                      kLdaFilter, QStringLiteral("cvlda"), true, box);
    Stage1_ParamsEdit = new QLineEdit(FromUtf8(DefaultMystemParameters(cpUtf8)), box);
    // The default parameters stay readable however narrow the window gets.
    Stage1_ParamsEdit->setMinimumWidth(
        Stage1_ParamsEdit->fontMetrics().horizontalAdvance(Stage1_ParamsEdit->text()) + 24);
    Stage1_LangBox = new QComboBox(box);
    Stage1_LangBox->addItems({QStringLiteral("Russian"), QStringLiteral("English")});
    Stage1_CodepageBox = new QComboBox(box);
    Stage1_CodepageBox->addItems({QStringLiteral("UTF"), QStringLiteral("ANSI")});
    Stage1_TrashEdit =
        new TFileEdit(m_Dialogs, TFileEditKind::OpenFile, QStringLiteral("File with trash data"),
                      QStringLiteral("Corvane LDA files (*.txt)"), {}, false, box);
    Stage1_RunBtn = RunButton(box, QStringLiteral("Run first step"));

    auto* options = new QHBoxLayout;
    options->addWidget(Stage1_ParamsEdit, 1);
    options->addWidget(new QLabel(QStringLiteral("Lang:"), box));
    options->addWidget(Stage1_LangBox);
    options->addWidget(new QLabel(QStringLiteral("Codepage"), box));
    options->addWidget(Stage1_CodepageBox);

    auto* grid = new QGridLayout(box);
    grid->addWidget(new QLabel(QStringLiteral("Folder with original text files:"), box), 0, 0);
    grid->addWidget(Stage1_FolderEdit, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Result file (binary):"), box), 1, 0);
    grid->addWidget(Stage1_ResultEdit, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Parameters for stemming:"), box), 2, 0);
    grid->addLayout(options, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("File with trash data:"), box), 3, 0);
    grid->addWidget(Stage1_TrashEdit, 3, 1);
    grid->addWidget(Stage1_RunBtn, 4, 1, Qt::AlignRight);
    grid->setColumnStretch(1, 1);
    return box;
}

QWidget* TPrepTab::BuildStep2()
{
    auto* box = new QGroupBox(
        QStringLiteral(" STEP 2.2. Extraction words form brackets and calculating word frequency"),
        Content);
    Stage2_InputEdit = new TFileEdit(m_Dialogs, TFileEditKind::OpenFile,
                                     QStringLiteral("File for clearing (binary)"), kLdaFilter,
                                     QStringLiteral("cvlda"), true, box);
    Stage2_OutputEdit =
        new TFileEdit(m_Dialogs, TFileEditKind::SaveFile, QStringLiteral("Output file (optional)"),
                      kLdaFilter, QStringLiteral("cvlda"), false, box);
    Stage2_RunBtn = RunButton(box, QStringLiteral("Run second step"));

    auto* grid = new QGridLayout(box);
    grid->addWidget(new QLabel(QStringLiteral("File for clearing (binary):"), box), 0, 0);
    grid->addWidget(Stage2_InputEdit, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Output file (optional):"), box), 1, 0);
    grid->addWidget(Stage2_OutputEdit, 1, 1);
    grid->addWidget(Stage2_RunBtn, 2, 1, Qt::AlignRight);
    grid->setColumnStretch(1, 1);
    return box;
}

QWidget* TPrepTab::BuildWordList()
{
    auto* column = new QWidget(Content);
    auto* box = new QGroupBox(QStringLiteral("List of words"), column);
    SearchEdit = new QLineEdit(QStringLiteral("no"), box);
    SearchBtn = IconButton(box, QStyle::SP_FileDialogContentsView, QString());
    ExportBtn = IconButton(box, QStyle::SP_DialogSaveButton,
                           QStringLiteral("Saving freq matrix to csv file"));
    FreqGrid = new TFastGrid(box);
    FreqGrid->SetColCount(3);
    FreqGrid->SetOptions(fdRowSelecting | fdColSelecting);
    FreqGrid->SetColWidth(1, 160);
    FreqGrid->SetColWidth(2, 70);
    FreqGrid->SetColWidth(3, 90);
    FreqGrid->setMinimumSize(300, 200);

    auto* search = new QHBoxLayout;
    search->addWidget(new QLabel(QStringLiteral("Search in list of words:"), box));
    search->addWidget(SearchEdit, 1);
    search->addWidget(SearchBtn);
    search->addWidget(ExportBtn);
    auto* listLayout = new QVBoxLayout(box);
    listLayout->addLayout(search);
    listLayout->addWidget(FreqGrid, 1);

    auto* dist = new QGroupBox(
        QStringLiteral(" 2.3 Distribution of word frequency in whole collection"), column);
    UnicWordsLabel = new QLabel(QStringLiteral("Number of unic words:   0"), dist);
    TotalWordsLabel = new QLabel(QStringLiteral("Total word number:  0"), dist);
    LowBoundEdit = new QLineEdit(QStringLiteral("0"), dist);
    UpperBoundEdit = new QLineEdit(QStringLiteral("7"), dist);
    for (QLineEdit* edit : {LowBoundEdit, UpperBoundEdit})
        edit->setMaximumWidth(70);
    FiltrationBtn = new QToolButton(dist);
    FiltrationBtn->setText(QStringLiteral("Filtration"));
    FiltrationBtn->setPopupMode(QToolButton::MenuButtonPopup);
    auto* menu = new QMenu(FiltrationBtn);
    WriteToStopWordsItem = menu->addAction(QStringLiteral("Write to stop words list"));
    SaveToFileItem = menu->addAction(QStringLiteral("Save to file..."));
    FiltrationBtn->setMenu(menu);

    auto* bounds = new QHBoxLayout;
    bounds->addWidget(new QLabel(QStringLiteral("Low bound"), dist));
    bounds->addWidget(LowBoundEdit);
    bounds->addWidget(new QLabel(QStringLiteral("Upper bound"), dist));
    bounds->addWidget(UpperBoundEdit);
    bounds->addStretch(1);
    bounds->addWidget(FiltrationBtn);
    auto* distLayout = new QVBoxLayout(dist);
    distLayout->addWidget(UnicWordsLabel);
    distLayout->addWidget(TotalWordsLabel);
    distLayout->addLayout(bounds);

    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(box, 1);
    layout->addWidget(dist);
    return column;
}

QWidget* TPrepTab::BuildStep3()
{
    auto* box = new QGroupBox(QStringLiteral("STEP 3. Removing stop words"), Content);
    Stage3_InputEdit = new TFileEdit(m_Dialogs, TFileEditKind::OpenFile,
                                     QStringLiteral("File for clearing (binary)"), kLdaFilter,
                                     QStringLiteral("cvlda"), true, box);
    Stage3_OutputEdit =
        new TFileEdit(m_Dialogs, TFileEditKind::SaveFile, QStringLiteral("Output file (binary)"),
                      kLdaFilter, QStringLiteral("cvlda"), false, box);
    Stage3_RunBtn = RunButton(box, QStringLiteral("Run third step"));
    StopWordsMemo = new QPlainTextEdit(box);
    StopWordsMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    ClearStopWordsBtn =
        IconButton(box, QStyle::SP_DialogResetButton, QStringLiteral("Clear stop words list"));
    SaveStopWordsBtn =
        IconButton(box, QStyle::SP_DialogSaveButton, QStringLiteral("Save stop words list to txt"));
    LoadStopWordsBtn = IconButton(box, QStyle::SP_DialogOpenButton,
                                  QStringLiteral("Load stop words list from txt file"));

    auto* tools = new QHBoxLayout;
    tools->addWidget(ClearStopWordsBtn);
    tools->addWidget(SaveStopWordsBtn);
    tools->addWidget(LoadStopWordsBtn);
    tools->addStretch(1);
    tools->addWidget(Stage3_RunBtn);

    auto* grid = new QGridLayout(box);
    grid->addWidget(new QLabel(QStringLiteral("File for clearing (binary)"), box), 0, 0);
    grid->addWidget(Stage3_InputEdit, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Output file (binary)"), box), 1, 0);
    grid->addWidget(Stage3_OutputEdit, 1, 1);
    grid->addLayout(tools, 2, 0, 1, 2);
    grid->addWidget(StopWordsMemo, 3, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(3, 1);
    return box;
}

void TPrepTab::SetFileHistory(const std::vector<std::string>& paths)
{
    for (TFileEdit* edit : {Stage1_ResultEdit, Stage2_InputEdit, Stage3_InputEdit})
        edit->SetHistory(paths);
}

void TPrepTab::SetBusy(bool busy)
{
    m_Busy = busy;
    if (OnBusyChanged)
        OnBusyChanged(busy);
}

QString TPrepTab::Elapsed() const
{
    return FromUtf8(FormatElapsed(std::chrono::steady_clock::now() - m_StartTime));
}

void TPrepTab::ShowError(const std::string& text)
{
    m_Dialogs.MessageBox(text, "Error", TMsgIcon::Warning);
}

void TPrepTab::CodepageChange(int index)
{
    Stage1_ParamsEdit->setText(FromUtf8(DefaultMystemParameters(index == 1 ? cpAnsi : cpUtf8)));
}

} // namespace corvane
