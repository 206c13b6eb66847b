#include "cli/progressbar.h"

#include <algorithm>
#include <cstdio>

namespace corvane::cli {
namespace {

constexpr int kBarWidth = 30;
constexpr auto kRedrawEvery = std::chrono::milliseconds(100);

} // namespace

TProgressBar::TProgressBar(std::string label, std::ostream& out)
    : m_Label(std::move(label)), m_Out(out), m_Start(std::chrono::steady_clock::now()),
      m_LastDraw(m_Start - kRedrawEvery)
{
}

TProgressBar::~TProgressBar()
{
    Finish();
}

void TProgressBar::Update(int percent)
{
    if (m_Finished)
        return;
    m_Percent = std::clamp(percent, 0, 100);
    if (std::chrono::steady_clock::now() - m_LastDraw >= kRedrawEvery)
        Draw();
}

void TProgressBar::Finish()
{
    if (m_Finished)
        return;
    Draw();
    m_Out << "\n" << std::flush;
    m_Finished = true;
}

void TProgressBar::PrintLine(std::ostream& out, const std::string& line)
{
    if (m_DrawnLength > 0 && !m_Finished)
        m_Out << '\r' << std::string(m_DrawnLength, ' ') << '\r' << std::flush;
    out << line << "\n" << std::flush;
    m_DrawnLength = 0;
    if (!m_Finished)
        Draw();
}

void TProgressBar::Draw()
{
    m_LastDraw = std::chrono::steady_clock::now();
    const long long seconds =
        std::chrono::duration_cast<std::chrono::seconds>(m_LastDraw - m_Start).count();
    const int filled = m_Percent * kBarWidth / 100;
    char tail[48];
    std::snprintf(tail, sizeof tail, "] %3d%%  %02lld:%02lld:%02lld", m_Percent, seconds / 3600,
                  seconds / 60 % 60, seconds % 60);
    std::string text = m_Label + " [" + std::string(static_cast<size_t>(filled), '#') +
                       std::string(static_cast<size_t>(kBarWidth - filled), '.') + tail;
    if (!m_Note.empty())
        text += "  " + m_Note;
    const size_t length = text.size();
    // Blanks over what a longer earlier line left behind.
    if (length < m_DrawnLength)
        text += std::string(m_DrawnLength - length, ' ');
    m_DrawnLength = length;
    m_Out << '\r' << text << std::flush;
}

} // namespace corvane::cli
