#pragma once

#include <chrono>
#include <iostream>
#include <string>

namespace corvane::cli {

/// A one-line progress display on stderr: a label, a bar, the percentage and the elapsed time.
/// Redraws at most every 100 ms; Finish draws the last state and ends the line.
class TProgressBar
{
public:
    explicit TProgressBar(std::string label, std::ostream& out = std::cerr);
    ~TProgressBar();
    TProgressBar(const TProgressBar&) = delete;
    TProgressBar& operator=(const TProgressBar&) = delete;

    /// Sets the percentage (clamped to 0..100) and redraws when due.
    void Update(int percent);
    /// Redraws the elapsed time when due; for long steps without progress.
    void Tick() { Update(m_Percent); }
    /// Draws the final state and a newline; later calls do nothing.
    void Finish();

private:
    void Draw();

    std::string m_Label;
    std::ostream& m_Out;
    int m_Percent = 0;
    bool m_Finished = false;
    std::chrono::steady_clock::time_point m_Start;
    std::chrono::steady_clock::time_point m_LastDraw;
};

} // namespace corvane::cli
