// The preparation tab's list of words (search, CSV export, selection by frequency bounds) and
// its stop-word editor (clear, save, load).
#include "shell/preptab.h"

#include "grid/fastgrid.h"
#include "platform/userlocale.h"
#include "prep/freqtable.h"
#include "prep/stopwordlist.h"
#include "shell/dialogservice.h"
#include "shell/statuspanels.h"
#include "shell/textconv.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>

#include <filesystem>

namespace corvane {
namespace {

// Qt's form of a filter whose description (" (*.*)") does not name its pattern.
const char kStopWordsFilter[] = " (*.*) (*.txt)";

} // namespace

void TPrepTab::SearchBtnClick()
{
    const std::string word = ToAnsi(SearchEdit->text().trimmed());
    const int32_t row = FreqGrid->State().Rows().FindShownRow(0, word);
    if (row < 0)
        return; // not found: the list stays where it is
    FreqGrid->SetTopRow(row);
    FreqGrid->SetLeftCol(0);
}

void TPrepTab::ExportBtnClick()
{
    const auto path =
        m_Dialogs.AskSaveFile("Save dictionary to CSV file", "Dictionary data (*.csv)", "csv", {});
    if (!path)
        return;
    QProgressBar* gauge = StatusBar->Gauge();
    gauge->setRange(0, 100);
    std::string error;
    const bool ok = ExportFreqTableCsv(
        FreqGrid->State().Rows().Table(), *path,
        [gauge](int32_t percent) {
            gauge->setValue(percent);
            gauge->repaint(); // the export runs on this thread: paint the gauge now
        },
        error);
    if (!ok) {
        ShowError(error);
        return;
    }
    StatusBar->SetPanel(0, QStringLiteral("Status: Saving dictionary to XLS file is finished"));
    StatusBar->SetPanel(1, QStringLiteral("File name: ") +
                               FromUtf8(std::filesystem::path(*path).filename().string()));
}

bool TPrepTab::SelectedWords(std::vector<std::string>& words)
{
    words.clear();
    double low = 0, up = 0;
    for (auto [edit, value] : {std::pair{LowBoundEdit, &low}, std::pair{UpperBoundEdit, &up}}) {
        if (!ParseUserDecimal(ToUtf8(edit->text()), *value)) {
            ShowError("'" + ToUtf8(edit->text()) + "' is not a valid floating point value");
            return false;
        }
    }
    if (!FreqGrid->DataPresent())
        return true;
    const TFGStreamData& table = FreqGrid->State().Rows().Table();
    std::vector<int32_t> freqs(static_cast<size_t>(table.RowCount()));
    table.GetColumnAsInt(1, freqs);
    for (int32_t row : SelectByFrequencyBounds(freqs, low, up))
        words.push_back(table.GetDataAsText(0, row));
    return true;
}

void TPrepTab::WriteToStopWordsClick()
{
    std::vector<std::string> words;
    if (SelectedWords(words))
        SetStopWords(words);
}

void TPrepTab::SaveFilteredClick()
{
    const auto path =
        m_Dialogs.AskSaveFile("Save filtered words to file", "Text files (*.txt)", "txt", {});
    if (!path)
        return;
    std::vector<std::string> words;
    std::string error;
    if (SelectedWords(words) && !SaveWordList(*path, words, error))
        ShowError(error);
}

std::vector<std::string> TPrepTab::StopWords() const
{
    // One word a line, exactly as typed; the line end after the last word adds no word.
    QStringList lines = StopWordsMemo->toPlainText().split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    std::vector<std::string> words;
    words.reserve(static_cast<size_t>(lines.size()));
    for (const QString& line : lines)
        words.push_back(ToAnsi(line));
    return words;
}

void TPrepTab::SetStopWords(const std::vector<std::string>& words)
{
    QStringList lines;
    for (const std::string& word : words)
        lines << FromAnsi(word);
    StopWordsMemo->setPlainText(lines.join(QLatin1Char('\n')));
}

void TPrepTab::ClearStopWordsClick()
{
    StopWordsMemo->clear();
}

void TPrepTab::SaveStopWordsClick()
{
    const auto path =
        m_Dialogs.AskSaveFile("Save list of stop words to file", kStopWordsFilter, "txt", {});
    std::string error;
    if (path && !SaveWordList(*path, StopWords(), error))
        ShowError(error);
}

void TPrepTab::LoadStopWordsClick()
{
    const auto path =
        m_Dialogs.AskOpenFile("Load list of stop words from file", kStopWordsFilter, {});
    if (!path)
        return;
    std::vector<std::string> words;
    std::string error;
    if (!LoadStopWordList(*path, words, error)) {
        ShowError(error);
        return;
    }
    SetStopWords(words);
}

} // namespace corvane
