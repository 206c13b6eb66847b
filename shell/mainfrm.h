#pragma once

#include "models/gibbsldacore.h"
#include "models/gibbsldaengine.h"
#include "models/ldaloader.h"
#include "shell/filehistory.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <string>

class QMenu;
class QTabWidget;

namespace corvane {

class IDialogService;
class IMainThread;
class TLdaRunController;
class TLdaTab;
class TPrepTab;

/// The main window: five tabs, the recent-files history kept in "local.conf" of the settings
/// folder, the busy mark that locks the tabs while a corpus stage runs, the container loaded
/// for the model runs, the LDA run and the project files.
class TMainFrm : public QWidget
{
    Q_OBJECT

public:
    /// `ldaCore` is the LDA engine binding; its load status is reported shortly after start.
    TMainFrm(IDialogService& dialogs, IMainThread& mainThread,
             const TGibbsLdaCore& ldaCore = GibbsLdaCore(), QWidget* parent = nullptr);
    ~TMainFrm() override;

    /// Whether the current tab may be left: not while a stage or a model run is active.
    bool CanChangeTab() const;
    /// Clears the history menu and fills it again from the history (also the preparation tab's
    /// drop-downs).
    void RebuildHistoryMenu();
    /// Writes the history into the settings file, replacing its "FileHistory" section.
    void SaveFileHistory() const;

    TFileHistory& FileHistory() { return m_FileHistory; }
    const std::string& ConfFile() const { return m_ConfFile; }

    /// Loads a container for the model runs behind the wait window; `resetTables` deletes its
    /// result tables and names them after it, otherwise the table names stay. Shows the old-format
    /// message itself; the caller reports other failures.
    bool LoadLdaFile(const std::string& path, bool resetTables);
    /// The loaded container's documents and word map; null when none is loaded.
    std::shared_ptr<const TLdaInput> LdaInput() const { return m_Loader.Input(); }
    const std::string& CurrLDABinFile() const { return m_CurrLDABinFile; }
    const std::string& PhiFileName() const { return m_TmpFilePhiName; }
    const std::string& ThetaFileName() const { return m_TmpFileThetaName; }
    const std::string& FixTopicsFile() const { return m_TmpFixTopicsFile; }
    std::string SentDicFileName() const;
    TLdaRunController& LdaRun() { return *m_LdaRun; }

    // Handlers of the "Gibbs LDA sampling" tab.
    void LoadDataClick();
    void HistoryItemClick(int index);
    void RunBtnClick();
    void StopBtnClick();
    void ChartSaveClick();
    void RatioCheckClick();
    void FixTopicsClick();
    void SaveProjectClick();
    void LoadProjectClick();
    /// The warning about an LDA engine library that could not be bound; nothing when it was.
    void ShowEngineLoadReport();

    QTabWidget* PageControl1;
    TPrepTab* PrepTab;
    TLdaTab* LdaTab;
    QMenu* HistoryMenu;

    /// Runs once, when the window is first shown (the splash goes then).
    std::function<void()> OnFirstActivated;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void LoadFileHistory();
    void SetBusy(bool busy);
    void ConnectLdaTab();
    void ConnectLdaRun();
    void AddToHistory(const std::string& path);

    IDialogService& m_Dialogs;
    const TGibbsLdaCore& m_LdaCore;
    std::string m_ConfDir;
    std::string m_ConfFile;
    std::string m_TmpFixTopicsFile;
    TFileHistory m_FileHistory;
    bool m_bFirstActivated = true;
    int m_CurrentTab = 0;

    TLdaLoader m_Loader;
    std::string m_CurrLDABinFile;
    std::string m_TmpFilePhiName;
    std::string m_TmpFileThetaName;
    TGibbsLdaEngine m_LdaEngine;
    std::unique_ptr<TLdaRunController> m_LdaRun;
};

} // namespace corvane
