#include "grid/gridstate.h"

#include <algorithm>

namespace corvane {

TGridState::TGridState()
    : m_ColsWidth(static_cast<size_t>(m_ColCount) + 1, m_DefaultColWidth),
      m_HeaderText(static_cast<size_t>(m_ColCount))
{
}

// ---- data ------------------------------------------------------------------------------------

bool TGridState::SetDataFile(const std::string& FileName)
{
    if (!m_Rows.SetDataFile(FileName)) {
        SetColCount(1);
        SetRowCount(1);
        return false;
    }
    SetColCount(m_Rows.TableColCount());
    SetRowCount(m_Rows.ShownRowCount());
    for (int32_t c = 0; c < m_Rows.TableColCount(); ++c)
        m_HeaderText[static_cast<size_t>(c)] = m_Rows.ColumnCaption(c);
    return true;
}

void TGridState::HideRow(int32_t Index)
{
    m_Rows.HideRow(Index);
    SetRowCount(m_Rows.ShownRowCount());
}

void TGridState::ResetAllRows()
{
    m_Rows.ResetAllRows();
    SetRowCount(m_Rows.ShownRowCount());
}

std::string TGridState::GetData(int32_t ACol, int32_t ARow) const
{
    return ACol < m_ColCount ? m_Rows.GetData(ACol, ARow) : std::string();
}

std::string TGridState::GetDataVisible(int32_t ACol, int32_t Index) const
{
    return ACol < m_ColCount ? m_Rows.GetDataVisible(ACol, Index) : std::string();
}

double TGridState::GetDataVisibleAsDouble(int32_t ACol, int32_t Index) const
{
    return ACol < m_ColCount ? m_Rows.GetDataVisibleAsDouble(ACol, Index) : 0.0;
}

void TGridState::SetHeaderText(int32_t ACol, const std::string& text)
{
    if (ACol >= 0 && ACol < m_ColCount)
        m_HeaderText[static_cast<size_t>(ACol)] = text;
}

std::string TGridState::GetHeaderText(int32_t ACol) const
{
    if (ACol < 0 || ACol >= m_ColCount)
        return {};
    return m_HeaderText[static_cast<size_t>(ACol)];
}

std::string TGridState::NumberText(int32_t Index) const
{
    if (!m_Numbered || Index < 0 || Index >= m_RowCount)
        return {};
    if (DataPresent() && Index >= ShownRowCount())
        return {};
    return std::to_string(static_cast<int64_t>(m_StartNumber) + Index);
}

// ---- counts and sizes ------------------------------------------------------------------------

void TGridState::SetColCount(int32_t count)
{
    m_ColCount = std::max(1, count);
    // Widths of columns dropped here come back when the count grows again (a table detached
    // and attached keeps its column widths).
    if (m_ColsWidth.size() < static_cast<size_t>(m_ColCount) + 1)
        m_ColsWidth.resize(static_cast<size_t>(m_ColCount) + 1, m_DefaultColWidth);
    m_HeaderText.resize(static_cast<size_t>(m_ColCount));
    ClampAfterChange();
}

void TGridState::SetRowCount(int32_t count)
{
    m_RowCount = std::max(1, count);
    ClampAfterChange();
}

void TGridState::SetClientSize(int32_t width, int32_t height)
{
    m_Width = std::max(0, width);
    m_Height = std::max(0, height);
    ClampAfterChange();
}

void TGridState::SetBorder(bool single)
{
    m_Border = single;
    ClampAfterChange();
}

void TGridState::SetRowHeight(int32_t height)
{
    m_RowHeight = std::max(1, height);
    ClampAfterChange();
}

void TGridState::SetDefaultColWidth(int32_t width)
{
    if (width < m_MinColWidth)
        return;
    m_DefaultColWidth = width;
    std::fill(m_ColsWidth.begin(), m_ColsWidth.end(), width);
    ClampAfterChange();
}

void TGridState::SetMinColWidth(int32_t width)
{
    m_MinColWidth = std::max(5, width);
    for (int32_t& w : m_ColsWidth)
        w = std::max(w, m_MinColWidth);
    m_DefaultColWidth = std::max(m_DefaultColWidth, m_MinColWidth);
    ClampAfterChange();
}

int32_t TGridState::ColWidth(int32_t index) const
{
    if (index < 0 || index > m_ColCount)
        return 0;
    return m_ColsWidth[static_cast<size_t>(index)];
}

void TGridState::SetColWidth(int32_t index, int32_t width)
{
    if (index < 0 || index > m_ColCount)
        return;
    m_ColsWidth[static_cast<size_t>(index)] = std::max(0, width);
    ClampAfterChange();
}

void TGridState::SetScrollBars(TGridScrollBars bars)
{
    m_ScrollBars = bars;
    ClampAfterChange();
}

// ---- layout ----------------------------------------------------------------------------------

int32_t TGridState::TotalColsWidth() const
{
    int32_t total = 0;
    for (int32_t c = 0; c <= m_ColCount; ++c)
        total += m_ColsWidth[static_cast<size_t>(c)] + 1;
    return total;
}

void TGridState::BarsNeeded(bool& horz, bool& vert) const
{
    const bool allowH = m_ScrollBars == ssHorizontal || m_ScrollBars == ssBoth;
    const bool allowV = m_ScrollBars == ssVertical || m_ScrollBars == ssBoth;
    const int32_t availW = m_Width - 2 * Margin();
    const int32_t availH = m_Height - 2 * Margin();
    const int64_t rowsHeight = (static_cast<int64_t>(m_RowCount) + 1) * (m_RowHeight + 1);
    const int32_t colsWidth = TotalColsWidth();
    horz = allowH && colsWidth > availW;
    vert = allowV && rowsHeight > availH;
    // A bar takes room from the other direction, which may then need its bar too.
    if (horz && !vert)
        vert = allowV && rowsHeight > availH - (kGridScrollBarSize + 1);
    if (vert && !horz)
        horz = allowH && colsWidth > availW - (kGridScrollBarSize + 1);
}

bool TGridState::HorzBarShown() const
{
    bool h = false, v = false;
    BarsNeeded(h, v);
    return h;
}

bool TGridState::VertBarShown() const
{
    bool h = false, v = false;
    BarsNeeded(h, v);
    return v;
}

TGridRect TGridState::CellArea() const
{
    bool h = false, v = false;
    BarsNeeded(h, v);
    const int32_t m = Margin();
    const int32_t w = m_Width - 2 * m - (v ? kGridScrollBarSize + 1 : 0);
    const int32_t ht = m_Height - 2 * m - (h ? kGridScrollBarSize + 1 : 0);
    return {m, m, std::max(0, w), std::max(0, ht)};
}

int32_t TGridState::DataAreaWidth() const
{
    return CellArea().Width - (m_ColsWidth[0] + 1);
}

int32_t TGridState::DataAreaHeight() const
{
    return CellArea().Height - (m_RowHeight + 1);
}

int32_t TGridState::PageRows() const
{
    return std::max(1, DataAreaHeight() / (m_RowHeight + 1));
}

int32_t TGridState::FullVisibleRowCount() const
{
    const int32_t fit = std::max(0, DataAreaHeight() / (m_RowHeight + 1));
    return std::min(fit, m_RowCount - m_TopRow);
}

int32_t TGridState::VisibleRowCount() const
{
    const int32_t h = std::max(0, DataAreaHeight());
    const int32_t fit = (h + m_RowHeight) / (m_RowHeight + 1);
    return std::min(fit, m_RowCount - m_TopRow);
}

int32_t TGridState::FullVisibleColCount() const
{
    const int32_t area = DataAreaWidth();
    int32_t used = 0, n = 0;
    for (int32_t c = m_LeftCol; c < m_ColCount; ++c) {
        used += m_ColsWidth[static_cast<size_t>(c) + 1] + 1;
        if (used > area)
            break;
        ++n;
    }
    return n;
}

int32_t TGridState::VisibleColCount() const
{
    const int32_t area = DataAreaWidth();
    int32_t used = 0, n = 0;
    for (int32_t c = m_LeftCol; c < m_ColCount && used < area; ++c) {
        used += m_ColsWidth[static_cast<size_t>(c) + 1] + 1;
        ++n;
    }
    return n;
}

int32_t TGridState::FitColCount() const
{
    std::vector<int32_t> widths(m_ColsWidth.begin() + 1, m_ColsWidth.begin() + m_ColCount + 1);
    std::sort(widths.begin(), widths.end(), std::greater<>());
    const int32_t area = DataAreaWidth();
    int32_t used = 0, n = 0;
    for (int32_t w : widths) {
        used += w + 1;
        if (used > area)
            break;
        ++n;
    }
    return std::max(1, n);
}

int32_t TGridState::MaxTopRow() const
{
    return std::max(0, m_RowCount - PageRows());
}

int32_t TGridState::MaxLeftCol() const
{
    return std::max(0, m_ColCount - FitColCount());
}

// ---- scrolling and focus ---------------------------------------------------------------------

bool TGridState::SetTopRow(int32_t row)
{
    row = std::clamp(row, 0, MaxTopRow());
    if (row == m_TopRow)
        return false;
    m_TopRow = row;
    if (OnTopLeftChanged)
        OnTopLeftChanged(1);
    return true;
}

bool TGridState::SetLeftCol(int32_t col)
{
    col = std::clamp(col, 0, MaxLeftCol());
    if (col == m_LeftCol)
        return false;
    m_LeftCol = col;
    if (OnTopLeftChanged)
        OnTopLeftChanged(1);
    return true;
}

void TGridState::ClampAfterChange()
{
    if (m_Focused.X >= 0) {
        m_Focused.X = std::min(m_Focused.X, m_ColCount - 1);
        m_Focused.Y = std::min(m_Focused.Y, m_RowCount - 1);
    }
    SetTopRow(m_TopRow);
    SetLeftCol(m_LeftCol);
}

void TGridState::SetFocusedCell(int32_t col, int32_t row)
{
    col = std::clamp(col, 0, m_ColCount - 1);
    row = std::clamp(row, 0, m_RowCount - 1);
    m_Focused = {col, row};
    if (row >= m_TopRow + PageRows())
        SetTopRow(row - PageRows() + 1);
    else if (row < m_TopRow)
        SetTopRow(row);
    if (col > m_LeftCol + FullVisibleColCount() - 1)
        SetLeftCol(col - FitColCount() + 1);
    else if (col < m_LeftCol)
        SetLeftCol(col);
    if (OnSelChanged)
        OnSelChanged();
}

void TGridState::KeyDown(TGridKey key)
{
    const int32_t x = std::max(0, m_Focused.X);
    const int32_t y = std::max(0, m_Focused.Y);
    const int32_t page = std::max(1, VisibleRowCount() - 1);
    switch (key) {
    case TGridKey::Up:
        SetFocusedCell(x, y - 1);
        break;
    case TGridKey::Down:
        SetFocusedCell(x, y + 1);
        break;
    case TGridKey::Left:
        SetFocusedCell(x - 1, y);
        break;
    case TGridKey::Right:
        SetFocusedCell(x + 1, y);
        break;
    case TGridKey::PageUp:
        SetFocusedCell(x, y - page);
        break;
    case TGridKey::PageDown:
        SetFocusedCell(x, y + page);
        break;
    case TGridKey::CtrlPageUp:
        SetFocusedCell(x, 0);
        break;
    case TGridKey::CtrlPageDown:
        SetFocusedCell(x, m_RowCount - 1);
        break;
    case TGridKey::Enter:
        if (y < m_RowCount - 1)
            SetFocusedCell(x, y + 1);
        else if (x < m_ColCount - 1)
            SetFocusedCell(x + 1, 0);
        break;
    }
}

void TGridState::Wheel(int32_t notches)
{
    if (notches != 0)
        SetFocusedCell(std::max(0, m_Focused.X), std::max(0, m_Focused.Y) + notches);
}

void TGridState::FocusIn()
{
    if (m_Focused.X < 0) {
        SetFocusedCell(0, 0);
        return;
    }
    const bool rowInView =
        m_Focused.Y >= m_TopRow && m_Focused.Y < m_TopRow + FullVisibleRowCount();
    const bool colInView =
        m_Focused.X >= m_LeftCol && m_Focused.X < m_LeftCol + FullVisibleColCount();
    if (!rowInView || !colInView) {
        SetTopRow(m_Focused.Y);
        SetLeftCol(m_Focused.X);
    }
}

// ---- geometry and mouse ----------------------------------------------------------------------

TGridRect TGridState::CellRect(int32_t col, int32_t row) const
{
    const int32_t m = Margin();
    TGridRect r;
    if (col == 0) {
        r.Left = m;
        r.Width = m_ColsWidth[0];
    } else if (col > 0 && col <= m_ColCount && col - 1 >= m_LeftCol) {
        r.Left = m + m_ColsWidth[0] + 1;
        for (int32_t c = m_LeftCol; c < col - 1; ++c)
            r.Left += m_ColsWidth[static_cast<size_t>(c) + 1] + 1;
        r.Width = m_ColsWidth[static_cast<size_t>(col)];
    } else {
        return {};
    }
    if (row == 0) {
        r.Top = m;
        r.Height = m_RowHeight;
    } else if (row > 0 && row - 1 >= m_TopRow) {
        const int64_t top = m + static_cast<int64_t>(m_RowHeight + 1) * (row - m_TopRow);
        r.Top = static_cast<int32_t>(std::min<int64_t>(top, INT32_MAX / 2));
        r.Height = m_RowHeight;
    } else {
        return {};
    }
    return r;
}

TGridCoord TGridState::MouseToCell(int32_t x, int32_t y) const
{
    const int32_t m = Margin();
    TGridCoord g;
    const int32_t k = std::max(0, y - m) / (m_RowHeight + 1);
    g.Y = k == 0 ? 0 : m_TopRow + k;
    int32_t right = m + m_ColsWidth[0] + 1;
    if (x < right) {
        g.X = 0;
        return g;
    }
    for (int32_t c = m_LeftCol; c < m_ColCount; ++c) {
        right += m_ColsWidth[static_cast<size_t>(c) + 1] + 1;
        if (x < right) {
            g.X = c + 1;
            return g;
        }
    }
    g.X = m_ColCount + 1;
    return g;
}

int32_t TGridState::ColumnEdgeAt(int32_t x, int32_t y) const
{
    const TGridRect area = CellArea();
    if (y < area.Top || y >= area.Bottom())
        return -1;
    int32_t left = area.Left + m_ColsWidth[0] + 1;
    for (int32_t c = m_LeftCol; c < m_ColCount && left < area.Right(); ++c) {
        const int32_t edge = left + m_ColsWidth[static_cast<size_t>(c) + 1];
        if (x > edge - 2 && x < edge + 4)
            return c;
        left = edge + 1;
    }
    return -1;
}

TGridCursor TGridState::CursorAt(int32_t x, int32_t y) const
{
    if (m_Mode == gmColSizing || ColumnEdgeAt(x, y) >= 0)
        return TGridCursor::ColSplit;
    const TGridRect area = CellArea();
    if (x < area.Left || x >= area.Right() || y < area.Top || y >= area.Bottom())
        return TGridCursor::Arrow;
    const TGridCoord g = MouseToCell(x, y);
    if (g.Y == 0)
        return TGridCursor::ColSelect;
    if (g.X == 0)
        return TGridCursor::RowSelect;
    return TGridCursor::Arrow;
}

void TGridState::MousePress(int32_t x, int32_t y)
{
    const int32_t edgeCol = ColumnEdgeAt(x, y);
    if (edgeCol >= 0) {
        m_Mode = gmColSizing;
        m_SizingCol = edgeCol;
        m_SizingStartX = x;
        m_SizingStartWidth = ColWidth(edgeCol + 1);
        return;
    }
    const TGridCoord g = MouseToCell(x, y);
    if (g.Y == 0 && (m_Options & fdColSelecting)) {
        m_Mode = gmColSelecting;
        return;
    }
    if (g.Y > 0 && g.X == 0 && (m_Options & fdRowSelecting)) {
        m_Mode = gmRowSelecting;
        return;
    }
    if (g.X > 0 && g.Y > 0 && (m_Options & fdSelecting))
        m_Mode = gmSelecting;
    SetFocusedCell(g.X == 0 ? 0 : g.X - 1, g.Y == 0 ? 0 : g.Y - 1);
}

bool TGridState::MouseMove(int32_t x, int32_t)
{
    if (m_Mode != gmColSizing)
        return false;
    const int32_t width = std::max(m_MinColWidth, m_SizingStartWidth + (x - m_SizingStartX));
    if (width == ColWidth(m_SizingCol + 1))
        return false;
    m_ColsWidth[static_cast<size_t>(m_SizingCol) + 1] = width;
    return true;
}

void TGridState::MouseRelease()
{
    m_Mode = gmNone;
    m_SizingCol = -1;
    ClampAfterChange();
}

void TGridState::MouseDoubleClick(int32_t x, int32_t y)
{
    const TGridCoord g = MouseToCell(x, y);
    if (g.Y == 0 && g.X >= 1 && g.X <= m_ColCount)
        SetColWidth(g.X, m_DefaultColWidth);
}

int32_t TGridState::TextLeft(const TGridRect& cell, int32_t textWidth, TGridTextAlign align)
{
    if (textWidth > cell.Width - 5)
        return cell.Left + 2;
    switch (align) {
    case taRight:
        return cell.Right() - textWidth - 2;
    case taCenter:
        return cell.Left + (cell.Width - textWidth) / 2;
    default:
        return cell.Left + 2;
    }
}

} // namespace corvane
