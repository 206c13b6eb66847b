// corvane-shots OUTDIR: renders every window of the program to PNG files under the offscreen
// platform, with realistic data loaded, so that the windows can be looked at without a display.
// A developer's tool: not installed.
#include "container/logunit.h"
#include "grid/fastgrid.h"
#include "platform/codepage.h"
#include "platform/userlocale.h"
#include "models/ldarun.h"
#include "shell/fileedit.h"
#include "shell/fixtopicsfrm.h"
#include "shell/ldatab.h"
#include "shell/mainfrm.h"
#include "shell/preptab.h"
#include "shell/qtdialogservice.h"
#include "shell/qtmainthread.h"
#include "shell/splashfrm.h"
#include "shell/textconv.h"
#include "shell/waitfrm.h"
#include "tables/fgstreamdata.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace corvane;

std::string g_OutDir;
int g_Failures = 0;

void SaveImage(const QImage& image, const char* name)
{
    const std::string path = g_OutDir + "/" + name;
    if (image.save(FromUtf8(path), "PNG")) {
        std::printf("%s\n", path.c_str());
    } else {
        std::fprintf(stderr, "corvane-shots: cannot write %s\n", path.c_str());
        ++g_Failures;
    }
}

void Save(QWidget& w, const char* name)
{
    SaveImage(w.grab().toImage(), name);
}

/// The quotes of the Russian fortune files as a folder of text files with a "metadata.csv"
/// (author and source file of each quote): the input of step 1.
int WriteSampleTexts(const std::string& folder, int wanted)
{
    namespace fs = std::filesystem;
    fs::create_directories(folder);
    std::vector<fs::path> sources;
    const fs::path fortunes = "/usr/share/games/fortunes/ru";
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(fortunes, ec))
        if (entry.path().extension() == ".u8")
            sources.push_back(entry.path());
    std::sort(sources.begin(), sources.end());
    std::ofstream metadata(folder + "/metadata.csv", std::ios::binary);
    int count = 0;
    for (const fs::path& source : sources) {
        std::ifstream in(source, std::ios::binary);
        std::string line, quote, author;
        while (count < wanted && std::getline(in, line)) {
            if (line != "%") {
                const size_t dash = line.find("-- ");
                if (dash != std::string::npos)
                    author = line.substr(dash + 3);
                else
                    quote += line + "\n";
                continue;
            }
            if (!quote.empty()) {
                std::ofstream(folder + "/" + std::to_string(count) + ".txt", std::ios::binary)
                    << quote;
                metadata << count << ";" << Utf8ToCp1251(author) << ";"
                         << source.filename().string() << ";\n";
                ++count;
            }
            quote.clear();
            author.clear();
        }
    }
    return count;
}

/// Lets the window work until the running stage has finished.
bool WaitIdle(const TPrepTab& tab)
{
    QElapsedTimer timer;
    timer.start();
    while (tab.Busy() && timer.elapsed() < 300000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    QApplication::processEvents();
    return !tab.Busy();
}

/// Lets the window work until the LDA run has finished.
bool WaitRunEnd(TMainFrm& frm)
{
    QElapsedTimer timer;
    timer.start();
    while (frm.LdaRun().Running() && timer.elapsed() < 300000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    QApplication::processEvents();
    return !frm.LdaRun().Running();
}

/// A long column table with the word list layout; only its first and last 40 rows are written,
/// the rows between read as zeros and take no disk space.
bool WriteLongWordTable(const std::string& path, int32_t rows)
{
    static const char* const words[] = {"быть",  "год",     "человек", "время",  "день",
                                        "жизнь", "рука",    "дело",    "город",  "работа",
                                        "слово", "место",   "глаз",    "вопрос", "лицо",
                                        "друг",  "сторона", "дом",     "страна", "мир"};
    TFGStreamData t;
    if (!t.CreateNewDataFile(path, 3, rows, 0) || !t.ColumnAdd(fgcText, 64, "ColWord", "Word") ||
        !t.ColumnAdd(fgcInt, 4, "ColFreq", "Freq") ||
        !t.ColumnAdd(fgcDouble, 8, "ColTFIDF", "TF-IDF"))
        return false;
    auto writeRow = [&](int32_t r) {
        const std::string word = Utf8ToCp1251(words[r % 20]) + (r < 20 ? "" : std::to_string(r));
        return t.WriteData(0, r, std::string_view(word)) && t.WriteData(1, r, 4000 / (r + 1)) &&
               t.WriteData(2, r, 0.0123 / (r + 1));
    };
    for (int32_t r = 0; r < rows; ++r) {
        if (r == 40 && rows > 80)
            r = rows - 40;
        if (!writeRow(r))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: corvane-shots OUTDIR\n");
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    g_OutDir = argv[1];
    std::filesystem::create_directories(g_OutDir);
    const std::string work = g_OutDir + "/data";
    std::filesystem::create_directories(work + "/config/Corvane");
    // Settings of our own: the user's history stays untouched.
    setenv("XDG_CONFIG_HOME", (work + "/config").c_str(), 1);
    {
        std::FILE* conf = std::fopen((work + "/config/Corvane/local.conf").c_str(), "w");
        if (conf) {
            std::fprintf(conf,
                         "[FileHistory]\nCount=3\nMaxCount=10\nFile0=%s/quotes_ww.cvlda\n"
                         "File1=%s/quotes_dict.cvlda\nFile2=/home/user/corpora/blogs2019.cvlda\n",
                         work.c_str(), work.c_str());
            std::fclose(conf);
        }
    }

    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    SetUserDecimalSeparator(',');
    std::string logError;
    StartLog(logError, work);
    QFont font = QApplication::font();
    font.setPointSize(9);
    QApplication::setFont(font);

    // The splash over a grey desktop, so that its transparent parts show.
    TSplashFrm splash;
    QImage desktop(splash.size(), QImage::Format_ARGB32);
    desktop.fill(QColor(90, 90, 90));
    QPainter(&desktop).drawImage(0, 0, splash.Picture());
    SaveImage(desktop, "splash.png");

    TQtMainThread mainThread;
    TQtDialogService dialogs;
    TMainFrm frm(dialogs, mainThread);
    frm.resize(1360, 900);
    frm.show();
    // The whole road of the preparation tab on real texts: lemmatization, dictionary, the
    // stop words chosen by frequency, their removal.
    TPrepTab& prep = *frm.PrepTab;
    const std::string texts = work + "/texts";
    std::filesystem::remove_all(texts);
    const int quotes = WriteSampleTexts(texts, 600);
    std::ofstream(work + "/trash.txt", std::ios::binary) << "&nbsp;\n";
    prep.SetFreqTableFile(work + "/freq_calc.bin");
    prep.Stage1_FolderEdit->SetText(FromUtf8(texts));
    prep.Stage1_ResultEdit->SetText(FromUtf8(work + "/quotes.cvlda"));
    prep.Stage1_TrashEdit->SetText(FromUtf8(work + "/trash.txt"));
    prep.Stage1_RunBtnClick();
    if (quotes == 0 || !WaitIdle(prep)) {
        std::fprintf(stderr, "corvane-shots: step 1 did not run (%d texts)\n", quotes);
        ++g_Failures;
    }
    prep.Stage2_InputEdit->SetText(FromUtf8(work + "/quotes.cvlda"));
    prep.Stage2_OutputEdit->SetText(FromUtf8(work + "/quotes_dict.cvlda"));
    prep.Stage2_RunBtnClick();
    Save(frm, "main-busy.png"); // the stage runs: tabs and controls are locked
    if (!WaitIdle(prep))
        ++g_Failures;
    prep.WriteToStopWordsClick();
    prep.SearchEdit->setText(QStringLiteral(" жизнь "));
    prep.SearchBtnClick();
    prep.Stage3_InputEdit->SetText(FromUtf8(work + "/quotes_dict.cvlda"));
    prep.Stage3_OutputEdit->SetText(FromUtf8(work + "/quotes_ww.cvlda"));
    prep.Stage3_RunBtnClick();
    if (!WaitIdle(prep))
        ++g_Failures;
    Save(frm, "main.png");

    // The Gibbs tab: the container without stop words loaded, a granulated run to its end.
    frm.PageControl1->setCurrentIndex(2);
    TLdaTab& lda = *frm.LdaTab;
    if (!frm.LoadLdaFile(work + "/quotes_ww.cvlda", true)) {
        std::fprintf(stderr, "corvane-shots: the LDA data did not load\n");
        ++g_Failures;
    }
    lda.TopicsEdit->setText(QStringLiteral("12"));
    lda.IterEdit->setText(QStringLiteral("300"));
    lda.MethodBox->setCurrentIndex(kMethodGranulate);
    lda.WindowSpin->setValue(3);
    frm.RunBtnClick();
    QElapsedTimer started;
    started.start();
    while (lda.ChartPoints(2).size() < 8 && frm.LdaRun().Running() && started.elapsed() < 60000)
        app.processEvents(QEventLoop::AllEvents, 20);
    Save(frm, "lda-running.png");
    if (!WaitRunEnd(frm))
        ++g_Failures;
    Save(frm, "lda.png");

    // The topic fixing window over the same word map, a few words tied to topics.
    lda.MethodBox->setCurrentIndex(kMethodIslda);
    TFixTopicsFrm fix(dialogs, work + "/islda.bin", frm.LdaInput(), &frm);
    fix.show();
    app.processEvents();
    fix.Grid->item(1, 2)->setText(QStringLiteral("3"));
    fix.Grid->item(2, 2)->setText(QStringLiteral("3"));
    fix.Grid->item(2, 3)->setText(QStringLiteral("7"));
    fix.ScrollBar->setValue(1);
    fix.SearchEdit->setText(QStringLiteral("жизнь"));
    fix.Grid->setCurrentCell(0, 2);
    Save(fix, "fixtopics.png");
    fix.accept();

    TWaitFrm plainWait(&frm); // as it comes, before a caller sets its texts
    plainWait.show();
    app.processEvents();
    Save(plainWait, "wait-default.png");
    plainWait.bIntClose = true;
    plainWait.close();

    TWaitFrm wait(&frm);
    wait.setWindowTitle(QStringLiteral("Corvane"));
    wait.SetText(QStringLiteral("\r\nLoading data from file"));
    wait.StopBtn->hide();
    wait.PBar->setValue(40);
    wait.show();
    app.processEvents();
    Save(wait, "wait.png");
    wait.bIntClose = true;
    wait.close();

    QMenu* filtration = prep.FiltrationBtn->menu();
    filtration->adjustSize();
    Save(*filtration, "filtration-menu.png");
    frm.HistoryMenu->adjustSize();
    Save(*frm.HistoryMenu, "history-menu.png");

    // The grid over ten million rows, scrolled to the end.
    const std::string longTable = work + "/long.bin";
    TFastGrid grid;
    grid.resize(420, 260);
    if (!WriteLongWordTable(longTable, 10000000) || !grid.SetDataFile(longTable))
        ++g_Failures;
    grid.SetColWidth(0, 70);
    grid.SetColWidth(1, 120);
    grid.show();
    grid.SetFocusedCell(1, grid.RowCount() - 1);
    Save(grid, "grid-10m-rows.png");
    grid.SetDataFile("");
    std::filesystem::remove(longTable);

    frm.close();
    mainThread.Shutdown();
    StopLog();
    std::error_code ec;
    std::filesystem::remove_all(work, ec); // only the pictures stay
    return g_Failures == 0 ? 0 : 1;
}
