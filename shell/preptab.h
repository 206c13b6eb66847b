#pragma once

#include <QWidget>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

namespace corvane {

class IDialogService;
class IMainThread;
class TBinaryDoc;
class TDelTagMystemAnsiThread;
class TFastGrid;
class TFileEdit;
class TStage2;
class TStage3;
class TStatusPanels;

/// The preparation tab "Lematization (Russian language)": step 1 (lemmatization), step 2.2
/// (dictionary stage), the list of words with its search, export and frequency filter, and
/// step 3 (stop-word removal) with the stop-word editor. Its handlers gather the inputs, start
/// the core stage and show what it reports.
class TPrepTab : public QWidget
{
    Q_OBJECT

public:
    TPrepTab(IDialogService& dialogs, IMainThread& mainThread, QWidget* parent = nullptr);
    ~TPrepTab() override;

    /// True while a stage runs; the main window then refuses tab changes.
    bool Busy() const { return m_Busy; }
    /// The recent-files list becomes the drop-down of the three container input fields.
    void SetFileHistory(const std::vector<std::string>& paths);

    // Step 1
    TFileEdit* Stage1_FolderEdit;
    TFileEdit* Stage1_ResultEdit;
    QLineEdit* Stage1_ParamsEdit;
    QComboBox* Stage1_LangBox;
    QComboBox* Stage1_CodepageBox;
    TFileEdit* Stage1_TrashEdit;
    QPushButton* Stage1_RunBtn;
    // Step 2.2
    TFileEdit* Stage2_InputEdit;
    TFileEdit* Stage2_OutputEdit;
    QPushButton* Stage2_RunBtn;
    // List of words
    QLineEdit* SearchEdit;
    QToolButton* SearchBtn;
    QToolButton* ExportBtn;
    TFastGrid* FreqGrid;
    QLabel* UnicWordsLabel;
    QLabel* TotalWordsLabel;
    QLineEdit* LowBoundEdit;
    QLineEdit* UpperBoundEdit;
    QToolButton* FiltrationBtn;
    QAction* WriteToStopWordsItem;
    QAction* SaveToFileItem;
    // Step 3
    TFileEdit* Stage3_InputEdit;
    TFileEdit* Stage3_OutputEdit;
    QPushButton* Stage3_RunBtn;
    QPlainTextEdit* StopWordsMemo;
    QToolButton* ClearStopWordsBtn;
    QToolButton* SaveStopWordsBtn;
    QToolButton* LoadStopWordsBtn;

    QPushButton* CloseBtn;
    TStatusPanels* StatusBar;
    /// Everything above the status bar: disabled while a stage runs.
    QWidget* Content;

    std::function<void(bool busy)> OnBusyChanged;
    std::function<void()> OnCloseProgram;

    /// Where step 2.2 writes the word frequency table; "freq_calc.bin" in the program's folder
    /// unless changed.
    void SetFreqTableFile(std::string path) { m_FreqTableFile = std::move(path); }

    void CodepageChange(int index);
    void Stage1_RunBtnClick();
    void Stage2_RunBtnClick();
    void Stage3_RunBtnClick();
    void SearchBtnClick();
    void ExportBtnClick();
    void WriteToStopWordsClick();
    void SaveFilteredClick();
    void ClearStopWordsClick();
    void SaveStopWordsClick();
    void LoadStopWordsClick();

private:
    QWidget* BuildStep1();
    QWidget* BuildStep2();
    QWidget* BuildWordList();
    QWidget* BuildStep3();
    void ConnectHandlers();
    void SetBusy(bool busy);
    QString Elapsed() const;
    void ShowError(const std::string& text);
    /// Destroys a finished stage once its last report has returned.
    template <class T> void Release(std::unique_ptr<T>& stage);

    void Stage1Progress(int32_t Progress, bool Done);
    void Stage2Progress(int32_t Progress, bool Done, uint32_t exitcode);
    void Stage3Progress(int32_t Progress, bool Done);
    void ShowWordTable(uint32_t words);
    /// The words of the list selected by the frequency bounds; false after an error message.
    bool SelectedWords(std::vector<std::string>& words);
    std::vector<std::string> StopWords() const;
    void SetStopWords(const std::vector<std::string>& words);

    IDialogService& m_Dialogs;
    IMainThread& m_MainThread;
    bool m_Busy = false;
    std::chrono::steady_clock::time_point m_StartTime;
    std::string m_FreqTableFile;

    // A running stage; the container of step 1 outlives its stage.
    std::unique_ptr<TBinaryDoc> m_Stage1Doc;
    bool m_Stage1StoreFailed = false;
    std::unique_ptr<TDelTagMystemAnsiThread> m_Stage1;
    std::unique_ptr<TStage2> m_Stage2;
    std::unique_ptr<TStage3> m_Stage3;
};

} // namespace corvane
