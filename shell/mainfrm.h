#pragma once

#include "shell/filehistory.h"

#include <QWidget>

#include <functional>
#include <string>

class QMenu;
class QTabWidget;

namespace corvane {

class IDialogService;
class IMainThread;
class TPrepTab;

/// The main window: five tabs, the recent-files history kept in "local.conf" of the settings
/// folder, and the busy mark that locks the tabs while a corpus stage runs.
class TMainFrm : public QWidget
{
    Q_OBJECT

public:
    TMainFrm(IDialogService& dialogs, IMainThread& mainThread, QWidget* parent = nullptr);
    ~TMainFrm() override;

    /// Whether the current tab may be left: not while a stage runs.
    bool CanChangeTab() const;
    /// Clears the history menu and fills it again from the history (also the preparation tab's
    /// drop-downs).
    void RebuildHistoryMenu();
    /// Writes the history into the settings file, replacing its "FileHistory" section.
    void SaveFileHistory() const;

    TFileHistory& FileHistory() { return m_FileHistory; }
    const std::string& ConfFile() const { return m_ConfFile; }

    QTabWidget* PageControl1;
    TPrepTab* PrepTab;
    QMenu* HistoryMenu;

    /// Runs once, when the window is first shown (the splash goes then).
    std::function<void()> OnFirstActivated;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void LoadFileHistory();
    void SetBusy(bool busy);

    std::string m_ConfDir;
    std::string m_ConfFile;
    TFileHistory m_FileHistory;
    bool m_bFirstActivated = true;
    int m_CurrentTab = 0;
};

} // namespace corvane
