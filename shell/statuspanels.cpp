#include "shell/statuspanels.h"

#include <QLabel>
#include <QProgressBar>

namespace corvane {

TStatusPanels::TStatusPanels(QWidget* parent) : QStatusBar(parent)
{
    setSizeGripEnabled(false);
    m_Panels[0] = new QLabel(QStringLiteral("Status:"), this);
    m_Panels[0]->setMinimumWidth(290);
    m_Panels[1] = new QLabel(this);
    for (QLabel* panel : m_Panels)
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_Gauge = new QProgressBar(this);
    m_Gauge->setRange(0, 100);
    m_Gauge->setValue(0);
    m_Gauge->setMaximumWidth(200);
    addWidget(m_Panels[0]);
    addWidget(m_Panels[1], 1);
    addPermanentWidget(m_Gauge);
}

void TStatusPanels::SetPanel(int index, const QString& text)
{
    if (index >= 0 && index < 2)
        m_Panels[index]->setText(text);
}

QString TStatusPanels::Panel(int index) const
{
    return index >= 0 && index < 2 ? m_Panels[index]->text() : QString();
}

} // namespace corvane
