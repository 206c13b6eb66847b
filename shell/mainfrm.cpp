#include "shell/mainfrm.h"

#include "models/fixedtopics.h"
#include "models/ldarun.h"
#include "platform/appdirs.h"
#include "shell/ldatab.h"
#include "shell/preptab.h"
#include "shell/textconv.h"

#include <QCloseEvent>
#include <QMenu>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace corvane {
namespace {

const QString kHistorySection = QStringLiteral("FileHistory");
constexpr int kGibbsTab = 2;
constexpr int kBigArtmTab = 3;

QWidget* EmptyPage(QWidget* parent)
{
    // The controls of this tab belong to later parts of the program; until then it stays empty.
    return new QWidget(parent);
}

} // namespace

TMainFrm::TMainFrm(IDialogService& dialogs, IMainThread& mainThread, const TGibbsLdaCore& ldaCore,
                   QWidget* parent)
    : QWidget(parent), m_Dialogs(dialogs), m_LdaCore(ldaCore), m_LdaEngine(ldaCore),
      m_LdaRun(std::make_unique<TLdaRunController>(mainThread, m_LdaEngine))
{
    setWindowTitle(QStringLiteral("Corvane"));
    PageControl1 = new QTabWidget(this);
    PrepTab = new TPrepTab(dialogs, mainThread, PageControl1);
    LdaTab = new TLdaTab(dialogs, PageControl1);
    PageControl1->addTab(PrepTab, QStringLiteral("Lematization (Russian language)"));
    PageControl1->addTab(EmptyPage(PageControl1), QStringLiteral("View of CVLDA file"));
    PageControl1->addTab(LdaTab, QStringLiteral("Gibbs LDA sampling"));
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
        m_LdaRun->SetActiveTab(index == kGibbsTab     ? TRunTab::Gibbs
                               : index == kBigArtmTab ? TRunTab::BigARTM
                                                      : TRunTab::Other);
    });
    m_LdaRun->SetActiveTab(TRunTab::Other);
    PrepTab->OnBusyChanged = [this](bool busy) { SetBusy(busy); };
    PrepTab->OnCloseProgram = [this] { close(); };

    HistoryMenu = new QMenu(this);
    connect(HistoryMenu, &QMenu::triggered, this, [this](QAction* item) {
        // The click rebuilds the menu: handle it once the menu has let go of its item.
        if (const QVariant index = item->data(); index.isValid())
            QMetaObject::invokeMethod(
                this, [this, i = index.toInt()] { HistoryItemClick(i); }, Qt::QueuedConnection);
    });
    ConnectLdaTab();
    ConnectLdaRun();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(PageControl1);
    resize(1280, 860);

    m_ConfDir = SettingsDir();
    m_ConfFile = JoinPath(m_ConfDir, "local.conf");
    m_TmpFixTopicsFile = FixedTopicsFileName();
    LoadFileHistory();
    RebuildHistoryMenu();
    QTimer::singleShot(500, this, &TMainFrm::ShowEngineLoadReport);
}

// A run still active is stopped and waited for by its controller; the caller has shut the
// dispatcher down first, so the engine waits for no report.
TMainFrm::~TMainFrm() = default;

bool TMainFrm::CanChangeTab() const
{
    return !PrepTab->Busy() && !m_LdaRun->Running();
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
        const auto& items = m_FileHistory.Items();
        for (size_t i = 0; i < items.size(); ++i) {
            QString caption = FromUtf8(items[i]);
            caption.replace(QLatin1Char('&'), QStringLiteral("&&")); // no shortcut letters
            HistoryMenu->addAction(caption)->setData(static_cast<int>(i));
        }
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
