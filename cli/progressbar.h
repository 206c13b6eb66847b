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

    /// A short text drawn after the elapsed time from the next redraw on.
    void SetNote(std::string note) { m_Note = std::move(note); }
    /// Writes a whole line to `out` where the bar stands, then draws the bar again below it.
    void PrintLine(std::ostream& out, const std::string& line);

private:
    void Draw();

    std::string m_Label;
    std::string m_Note;
    size_t m_DrawnLength = 0;
    std::ostream& m_Out;
    int m_Percent = 0;
    bool m_Finished = false;
    std::chrono::steady_clock::time_point m_Start;
    std::chrono::steady_clock::time_point m_LastDraw;
};

} // namespace corvane::cli
