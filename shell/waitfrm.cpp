#include "shell/waitfrm.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvane {

TWaitFrm::TWaitFrm(QWidget* owner) : QDialog(owner, Qt::Tool), m_Owner(owner)
{
    setWindowTitle(QStringLiteral("Выполняется операция, подождите..."));
    Label1 = new QLabel(this);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setWordWrap(true);
    QFont big = Label1->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    Label1->setFont(big);
    SetText(QStringLiteral("\r\nДождитесь завершения выполнения текущей операции.\r\n"
                           "Для прерывания операции нажмите кнопку \"Прервать\"."));
    PBar = new QProgressBar(this);
    PBar->setFormat(QStringLiteral("%p%"));
    PBar->setValue(0);
    StopBtn = new QPushButton(QStringLiteral("Прервать"), this);
    connect(StopBtn, &QPushButton::clicked, this, [this] {
        bTerm = true;
        StopBtn->setEnabled(false);
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1, 1);
    layout->addWidget(PBar);
    layout->addWidget(StopBtn, 0, Qt::AlignHCenter);
    resize(520, 190);
}

TWaitFrm::~TWaitFrm()
{
    // Freed while still shown (an operation that ended early): the owner must not stay locked.
    if (m_Owner && isVisible())
        m_Owner->setEnabled(true);
}

void TWaitFrm::SetText(const QString& text)
{
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    Label1->setText(plain);
}

void TWaitFrm::showEvent(QShowEvent* event)
{
    // Disabling the owner disables its child windows too; enable this one again so that its
    // stop button stays usable.
    if (m_Owner)
        m_Owner->setEnabled(false);
    setEnabled(true);
    bTerm = false;
    QDialog::showEvent(event);
    raise();
    activateWindow();
}

void TWaitFrm::closeEvent(QCloseEvent* event)
{
    if (!bIntClose) {
        event->ignore();
        return;
    }
    if (m_Owner)
        m_Owner->setEnabled(true);
    QDialog::closeEvent(event);
}

void TWaitFrm::reject()
{
    // Escape and the window's close button end up here: only the operation may close it.
    if (bIntClose)
        QDialog::reject();
}

} // namespace corvane
