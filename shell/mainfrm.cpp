#include "shell/mainfrm.h"

#include "platform/appdirs.h"
#include "shell/preptab.h"
#include "shell/textconv.h"

#include <QCloseEvent>
#include <QMenu>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace corvane {
namespace {

const QString kHistorySection = QStringLiteral("FileHistory");

QWidget* EmptyPage(QWidget* parent)
{
    // The controls of this tab belong to later parts of the program; until then it stays empty.
    return new QWidget(parent);
}

} // namespace

TMainFrm::TMainFrm(IDialogService& dialogs, IMainThread& mainThread, QWidget* parent)
    : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Corvane"));
    PageControl1 = new QTabWidget(this);
    PrepTab = new TPrepTab(dialogs, mainThread, PageControl1);
    PageControl1->addTab(PrepTab, QStringLiteral("Lematization (Russian language)"));
    PageControl1->addTab(EmptyPage(PageControl1), QStringLiteral("View of CVLDA file"));
    PageControl1->addTab(EmptyPage(PageControl1), QStringLiteral("Gibbs LDA sampling"));
    PageControl1->addTab(EmptyPage(PageControl1), QStringLiteral("BigARTM"));
    PageControl1->addTab(EmptyPage(PageControl1),
                         QStringLiteral("Kullback-Leibler Distance, Jaccard index"));
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == m_CurrentTab)
            return;
        if (!CanChangeTab()) {
            PageControl1->setCurrentIndex(m_CurrentTab);
            return;
        }
        m_CurrentTab = index;
    });
    PrepTab->OnBusyChanged = [this](bool busy) { SetBusy(busy); };
    PrepTab->OnCloseProgram = [this] { close(); };

    HistoryMenu = new QMenu(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(PageControl1);
    resize(1280, 860);

    m_ConfDir = SettingsDir();
    m_ConfFile = JoinPath(m_ConfDir, "local.conf");
    LoadFileHistory();
    RebuildHistoryMenu();
}

TMainFrm::~TMainFrm() = default;

bool TMainFrm::CanChangeTab() const
{
    return !PrepTab->Busy();
}

void TMainFrm::SetBusy(bool busy)
{
    // The tabs and the page's controls are locked; the status bar stays readable.
    PageControl1->tabBar()->setEnabled(!busy);
    PrepTab->Content->setEnabled(!busy);
}

void TMainFrm::LoadFileHistory()
{
    QSettings ini(FromUtf8(m_ConfFile), QSettings::IniFormat);
    ini.beginGroup(kHistorySection);
    m_FileHistory.Load([&](const std::string& key) -> std::optional<std::string> {
        const QVariant value = ini.value(FromUtf8(key));
        if (!value.isValid())
            return std::nullopt;
        return ToUtf8(value.toString());
    });
}

void TMainFrm::SaveFileHistory() const
{
    QSettings ini(FromUtf8(m_ConfFile), QSettings::IniFormat);
    ini.remove(kHistorySection);
    ini.beginGroup(kHistorySection);
    m_FileHistory.Save([&](const std::string& key, const std::string& value) {
        ini.setValue(FromUtf8(key), FromUtf8(value));
    });
    ini.endGroup();
    ini.sync(); // a failed write is ignored: the history is a convenience
}

void TMainFrm::RebuildHistoryMenu()
{
    HistoryMenu->clear();
    if (m_FileHistory.Items().empty()) {
        HistoryMenu->addAction(QStringLiteral("(File history is empty)"))->setEnabled(false);
    } else {
        for (const std::string& path : m_FileHistory.Items())
            HistoryMenu->addAction(FromUtf8(path));
    }
    PrepTab->SetFileHistory(m_FileHistory.Items());
}

void TMainFrm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_bFirstActivated)
        return;
    m_bFirstActivated = false;
    setWindowTitle(QStringLiteral("Corvane - Sentiment analysis - ver. 81 (64 bit)"));
    if (OnFirstActivated)
        OnFirstActivated();
}

void TMainFrm::closeEvent(QCloseEvent* event)
{
    SaveFileHistory();
    QWidget::closeEvent(event);
}

} // namespace corvane
