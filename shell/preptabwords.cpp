// The preparation tab's list of words and its stop-word editor.
#include "shell/preptab.h"

#include "grid/fastgrid.h"
#include "shell/textconv.h"

#include <QLineEdit>
#include <QPlainTextEdit>

namespace corvane {

void TPrepTab::SearchBtnClick()
{
    const std::string word = ToAnsi(SearchEdit->text().trimmed());
    const int32_t row = FreqGrid->State().Rows().FindShownRow(0, word);
    if (row < 0)
        return; // not found: the list stays where it is
    FreqGrid->SetTopRow(row);
    FreqGrid->SetLeftCol(0);
}

void TPrepTab::ClearStopWordsClick()
{
    StopWordsMemo->clear();
}

} // namespace corvane
