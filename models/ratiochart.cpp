#include "models/ratiochart.h"

#include <charconv>

namespace corvane {
namespace {

void AppendFixed10(std::string& out, double value)
{
    char buf[400];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 10);
    out.append(buf, res.ptr);
}

} // namespace

void TRatioChart::Clear()
{
    m_Series1.clear();
    m_Series2.clear();
}

void TRatioChart::Add(int series, double x, double y)
{
    if (series == 1)
        m_Series1.push_back({x, y});
    else if (series == 2)
        m_Series2.push_back({x, y});
}

const std::vector<TRatioChart::TPoint>& TRatioChart::Series(int series) const
{
    return series == 2 ? m_Series2 : m_Series1;
}

std::string TRatioChart::SaveText() const
{
    std::string out;
    for (size_t i = 0; i < m_Series1.size(); ++i) {
        AppendFixed10(out, m_Series1[i].x);
        out += ' ';
        AppendFixed10(out, m_Series1[i].y);
        if (i < m_Series2.size()) {
            out += ' ';
            AppendFixed10(out, m_Series2[i].y);
        }
        out += "\r\n";
    }
    return out;
}

} // namespace corvane
