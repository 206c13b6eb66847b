#pragma once

#include "grid/gridrows.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace corvane {

/// A cell in data coordinates: X = column, Y = shown row, both 0-based; -1 when unset.
struct TGridCoord
{
    int32_t X = -1;
    int32_t Y = -1;
    bool operator==(const TGridCoord&) const = default;
};

/// A rectangle in the grid's own pixel coordinates.
struct TGridRect
{
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t Right() const { return Left + Width; }
    int32_t Bottom() const { return Top + Height; }
};

enum TGridScrollBars { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TMode { gmNone, gmColSizing, gmColSelecting, gmRowSelecting, gmSelecting };
enum TFloatDataOption : uint8_t { fdRowSelecting = 1, fdColSelecting = 2, fdSelecting = 4 };
enum TGridTextAlign { taLeft, taRight, taCenter };
enum class TGridKey { Up, Down, Left, Right, PageUp, PageDown, CtrlPageUp, CtrlPageDown, Enter };
enum class TGridCursor { Arrow, ColSplit, ColSelect, RowSelect };

constexpr int32_t kGridScrollBarSize = 16;

/// Everything a grid control knows except how to draw: the attached table and its shown rows,
/// counts, header texts, column widths, the focused cell, the scroll position and the mouse drag
/// state, with the geometry that ties them to a client area of a given size.
///
/// Grid coordinates (CellRect, MouseToCell) count the header row as row 0 and the numbering
/// column as column 0; data cell (c, r) is grid cell (c + 1, r + 1).
class TGridState
{
public:
    TGridState();

    // ---- data ------------------------------------------------------------------------------
    /// Attaches a table (empty name detaches); counts and header texts follow the table, widths,
    /// focus and scroll position stay, clamped by the new counts.
    bool SetDataFile(const std::string& FileName);
    const TGridRows& Rows() const { return m_Rows; }
    bool DataPresent() const { return m_Rows.DataPresent(); }
    int32_t ShownRowCount() const { return m_Rows.ShownRowCount(); }
    void HideRow(int32_t Index);
    void ResetAllRows();

    std::string GetData(int32_t ACol, int32_t ARow) const;
    std::string GetDataVisible(int32_t ACol, int32_t Index) const;
    double GetDataVisibleAsDouble(int32_t ACol, int32_t Index) const;

    void SetHeaderText(int32_t ACol, const std::string& text);
    std::string GetHeaderText(int32_t ACol) const;
    /// The text of the numbering column for shown row `Index` (empty when numbering is off or the
    /// row shows nothing).
    std::string NumberText(int32_t Index) const;

    // ---- counts and sizes --------------------------------------------------------------------
    int32_t ColCount() const { return m_ColCount; }
    int32_t RowCount() const { return m_RowCount; }
    void SetColCount(int32_t count);
    void SetRowCount(int32_t count);

    void SetClientSize(int32_t width, int32_t height);
    int32_t ClientWidth() const { return m_Width; }
    int32_t ClientHeight() const { return m_Height; }
    void SetBorder(bool single);
    bool Border() const { return m_Border; }
    void SetRowHeight(int32_t height);
    int32_t RowHeight() const { return m_RowHeight; }
    /// Ignored below MinColWidth; otherwise every column gets it, the numbering column too.
    void SetDefaultColWidth(int32_t width);
    int32_t DefaultColWidth() const { return m_DefaultColWidth; }
    /// At least 5; narrower columns and DefaultColWidth are widened to it.
    void SetMinColWidth(int32_t width);
    int32_t MinColWidth() const { return m_MinColWidth; }
    /// Entry 0 is the numbering column, 1 .. ColCount the data columns.
    int32_t ColWidth(int32_t index) const;
    void SetColWidth(int32_t index, int32_t width);
    void SetScrollBars(TGridScrollBars bars);
    TGridScrollBars ScrollBars() const { return m_ScrollBars; }
    void SetOptions(uint8_t options) { m_Options = options; }
    uint8_t Options() const { return m_Options; }
    void SetNumbered(bool numbered) { m_Numbered = numbered; }
    bool Numbered() const { return m_Numbered; }
    void SetStartNumber(int32_t number) { m_StartNumber = number; }
    int32_t StartNumber() const { return m_StartNumber; }

    // ---- layout ------------------------------------------------------------------------------
    int32_t Margin() const { return m_Border ? 2 : 0; }
    bool HorzBarShown() const;
    bool VertBarShown() const;
    /// The area of header, numbering column and cells (inside the frame, beside the bars).
    TGridRect CellArea() const;
    int32_t VisibleRowCount() const;
    int32_t FullVisibleRowCount() const;
    int32_t VisibleColCount() const;
    int32_t FullVisibleColCount() const;
    /// How many data columns surely fit: counted with the widest columns first (at least 1).
    int32_t FitColCount() const;
    int32_t MaxTopRow() const;
    int32_t MaxLeftCol() const;

    // ---- scrolling and focus -----------------------------------------------------------------
    int32_t TopRow() const { return m_TopRow; }
    int32_t LeftCol() const { return m_LeftCol; }
    /// Scrolls, cut to the allowed range; true (and OnTopLeftChanged) when the position changed.
    bool SetTopRow(int32_t row);
    bool SetLeftCol(int32_t col);
    TGridCoord FocusedCell() const { return m_Focused; }
    /// Clamps the cell to the counts, scrolls it into view and fires OnSelChanged.
    void SetFocusedCell(int32_t col, int32_t row);
    /// Moves the focus for a navigation key.
    void KeyDown(TGridKey key);
    /// Wheel notches: positive moves the focused row down.
    void Wheel(int32_t notches);
    /// The grid got the keyboard focus.
    void FocusIn();

    // ---- geometry and mouse ------------------------------------------------------------------
    /// The rectangle of grid cell (col, row); empty when it lies before LeftCol / TopRow.
    TGridRect CellRect(int32_t col, int32_t row) const;
    /// The grid cell under a point; columns and rows past the last give indexes past the counts.
    TGridCoord MouseToCell(int32_t x, int32_t y) const;
    /// The data column whose right edge is near x, -1 when none.
    int32_t ColumnEdgeAt(int32_t x, int32_t y) const;
    TGridCursor CursorAt(int32_t x, int32_t y) const;
    TMode Mode() const { return m_Mode; }
    void MousePress(int32_t x, int32_t y);
    /// True when the drag changed a column width.
    bool MouseMove(int32_t x, int32_t y);
    void MouseRelease();
    void MouseDoubleClick(int32_t x, int32_t y);

    /// Where a text of `textWidth` pixels starts in a cell: 2 pixels in from the aligned side, or
    /// centred; a text wider than the cell minus 5 pixels starts at the left.
    static int32_t TextLeft(const TGridRect& cell, int32_t textWidth, TGridTextAlign align);

    std::function<void()> OnSelChanged;
    std::function<void(int32_t)> OnTopLeftChanged;

private:
    void BarsNeeded(bool& horz, bool& vert) const;
    int32_t TotalColsWidth() const;
    int32_t DataAreaWidth() const;
    int32_t DataAreaHeight() const;
    /// Rows the data area holds wholly, at least 1: the page of scrolling and focus moves.
    int32_t PageRows() const;
    void ClampAfterChange();

    TGridRows m_Rows;
    int32_t m_ColCount = 2;
    int32_t m_RowCount = 2;
    int32_t m_RowHeight = 18;
    int32_t m_DefaultColWidth = 60;
    int32_t m_MinColWidth = 10;
    std::vector<int32_t> m_ColsWidth; // after the counts and widths it is built from
    std::vector<std::string> m_HeaderText;
    bool m_Border = true;
    TGridScrollBars m_ScrollBars = ssBoth;
    uint8_t m_Options = fdRowSelecting | fdColSelecting | fdSelecting;
    bool m_Numbered = true;
    int32_t m_StartNumber = 1;
    int32_t m_Width = 0;
    int32_t m_Height = 0;
    int32_t m_TopRow = 0;
    int32_t m_LeftCol = 0;
    TGridCoord m_Focused;
    TMode m_Mode = gmNone;
    int32_t m_SizingCol = -1;
    int32_t m_SizingStartX = 0;
    int32_t m_SizingStartWidth = 0;
};

} // namespace corvane
