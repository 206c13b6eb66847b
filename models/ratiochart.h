#pragma once

#include <string>
#include <vector>

namespace corvane {

/// The data of a run's "Ratio" chart: x = iteration, y = the percentage of values above the
/// uniform value; series 1 for the document-topic matrix, series 2 for the topic-word matrix.
class TRatioChart
{
public:
    struct TPoint
    {
        double x;
        double y;
    };

    void Clear();
    /// Adds a point to series 1 or 2 (other numbers are ignored).
    void Add(int series, double x, double y);
    const std::vector<TPoint>& Series(int series) const;

    /// The chart as the "chart save" button writes it: per point of series 1 its x, its y and
    /// the y of series 2 at the same index, each with ten decimals and a point, separated by
    /// blanks, lines ending in CR LF. Where series 2 is shorter its y is left out.
    std::string SaveText() const;

private:
    std::vector<TPoint> m_Series1;
    std::vector<TPoint> m_Series2;
};

} // namespace corvane
