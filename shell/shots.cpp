// corvane-shots OUTDIR: renders every window of the program to PNG files under the offscreen
// platform, with realistic data loaded, so that the windows can be looked at without a display.
// A developer's tool: not installed.
#include "grid/fastgrid.h"
#include "shell/fileedit.h"
#include "shell/mainfrm.h"
#include "shell/preptab.h"
#include "shell/qtdialogservice.h"
#include "shell/qtmainthread.h"
#include "shell/splashfrm.h"
#include "shell/statuspanels.h"
#include "shell/textconv.h"
#include "shell/waitfrm.h"
#include "tables/fgstreamdata.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using namespace corvane;

std::string g_OutDir;
int g_Failures = 0;

void Save(QWidget& w, const char* name)
{
    const std::string path = g_OutDir + "/" + name;
    if (w.grab().save(FromUtf8(path), "PNG")) {
        std::printf("%s\n", path.c_str());
    } else {
        std::fprintf(stderr, "corvane-shots: cannot write %s\n", path.c_str());
        ++g_Failures;
    }
}

/// A column table with the word list layout, for the shots that need one before any stage ran.
bool WriteWordTable(const std::string& path, int32_t rows, bool sparse)
{
    static const char* const words[] = {
        "быть", "год", "человек", "время", "день", "жизнь", "рука", "дело", "город", "работа",
        "слово", "место", "глаз", "вопрос", "лицо", "друг", "сторона", "дом", "страна", "мир"};
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
        if (sparse && r >= 40 && r < rows - 40)
            r = rows - 40; // the rows between stay zeros: no disk space for a long table
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
            std::fprintf(conf, "[FileHistory]\nCount=3\nMaxCount=10\nFile0=%s/news_ww.cvlda\n"
                               "File1=%s/news.cvlda\nFile2=/home/user/corpora/blogs2019.cvlda\n",
                         work.c_str(), work.c_str());
            std::fclose(conf);
        }
    }

    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QFont font = QApplication::font();
    font.setPointSize(9);
    QApplication::setFont(font);

    TSplashFrm splash;
    splash.show();
    Save(splash, "splash.png");

    TQtMainThread mainThread;
    TQtDialogService dialogs;
    TMainFrm frm(dialogs, mainThread);
    frm.resize(1360, 900);
    frm.show();
    TPrepTab& prep = *frm.PrepTab;
    prep.Stage1_FolderEdit->SetText(FromUtf8(work + "/texts"));
    prep.Stage1_ResultEdit->SetText(FromUtf8(work + "/news.cvlda"));
    prep.Stage1_TrashEdit->SetText(FromUtf8(work + "/trash.txt"));
    prep.Stage2_InputEdit->SetText(FromUtf8(work + "/news.cvlda"));
    prep.Stage3_InputEdit->SetText(FromUtf8(work + "/news.cvlda"));
    prep.Stage3_OutputEdit->SetText(FromUtf8(work + "/news_ww.cvlda"));
    const std::string table = work + "/freq_calc.bin";
    if (!WriteWordTable(table, 2000, false) || !prep.FreqGrid->SetDataFile(table))
        ++g_Failures;
    prep.StopWordsMemo->setPlainText(QStringLiteral("быть\nгод\nчеловек\nвремя\n"));
    app.processEvents();
    Save(frm, "main.png");

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

    frm.HistoryMenu->adjustSize();
    Save(*frm.HistoryMenu, "history-menu.png");

    // The grid over ten million rows, scrolled to the end.
    const std::string longTable = work + "/long.bin";
    TFastGrid grid;
    grid.resize(420, 260);
    if (!WriteWordTable(longTable, 10000000, true) || !grid.SetDataFile(longTable))
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
    return g_Failures == 0 ? 0 : 1;
}
