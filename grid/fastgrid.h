#pragma once

#include "grid/gridstate.h"

#include <QColor>
#include <QWidget>

#include <functional>
#include <map>
#include <string>

class QScrollBar;

namespace corvane {

/// Text and background colour of one data column.
struct TColumnsColors
{
    QColor FontColor;
    QColor BackColor;
};

struct TColors
{
    QColor Background = QColor(128, 128, 128); // outside the cells
    QColor DataCells = Qt::white;
    QColor FixedCells = QColor(240, 240, 240); // header row and numbering column
};

struct TAlignments
{
    TGridTextAlign Data = taLeft;
    TGridTextAlign FixedColText = taRight; // numbering column
    TGridTextAlign HeaderText = taCenter;
};

/// A read-only grid over one column table file. It paints only the cells in view, reading each
/// of them from the file as it paints, so a table of any length scrolls at the same speed. All
/// state and arithmetic live in TGridState; this widget draws it and forwards input to it.
class TFastGrid : public QWidget
{
    Q_OBJECT

public:
    explicit TFastGrid(QWidget* parent = nullptr);
    ~TFastGrid() override;

    /// Attaches a table read-only; an empty name detaches it (do so before the file is rewritten).
    bool SetDataFile(const std::string& FileName);
    bool DataPresent() const { return m_State.DataPresent(); }

    std::string GetData(int32_t ACol, int32_t ARow) const { return m_State.GetData(ACol, ARow); }
    std::string GetDataVisible(int32_t ACol, int32_t Index) const
    {
        return m_State.GetDataVisible(ACol, Index);
    }
    double GetDataVisibleAsDouble(int32_t ACol, int32_t Index) const
    {
        return m_State.GetDataVisibleAsDouble(ACol, Index);
    }
    void HideRow(int32_t Row);
    void ResetAllRows();
    int32_t ShownRowCount() const { return m_State.ShownRowCount(); }

    /// Header texts are 8-bit (Windows-1251), as the table's captions.
    void SetHeaderText(int32_t ACol, const std::string& text);
    std::string GetHeaderText(int32_t ACol) const { return m_State.GetHeaderText(ACol); }
    void SetColumnsColors(int32_t ACol, const TColumnsColors& colors);

    int32_t ColCount() const { return m_State.ColCount(); }
    int32_t RowCount() const { return m_State.RowCount(); }
    void SetColCount(int32_t count);
    void SetRowCount(int32_t count);
    int32_t TopRow() const { return m_State.TopRow(); }
    int32_t LeftCol() const { return m_State.LeftCol(); }
    void SetTopRow(int32_t row) { m_State.SetTopRow(row); }
    void SetLeftCol(int32_t col) { m_State.SetLeftCol(col); }
    TGridCoord FocusedCell() const { return m_State.FocusedCell(); }
    void SetFocusedCell(int32_t col, int32_t row) { m_State.SetFocusedCell(col, row); }
    int32_t VisibleColCount() const { return m_State.VisibleColCount(); }
    int32_t VisibleRowCount() const { return m_State.VisibleRowCount(); }
    int32_t FullVisibleColCount() const { return m_State.FullVisibleColCount(); }
    int32_t FullVisibleRowCount() const { return m_State.FullVisibleRowCount(); }

    void SetBorderStyle(bool single);
    void SetRowHeight(int32_t height);
    void SetDefaultColWidth(int32_t width);
    void SetMinColWidth(int32_t width);
    void SetColWidth(int32_t index, int32_t width);
    int32_t ColWidth(int32_t index) const { return m_State.ColWidth(index); }
    void SetScrollBars(TGridScrollBars bars);
    void SetNumbered(bool numbered);
    void SetStartNumber(int32_t number);
    void SetGridLines(bool on);
    void SetOptions(uint8_t options) { m_State.SetOptions(options); }
    void SetColors(const TColors& colors);
    const TColors& Colors() const { return m_Colors; }
    void SetAlignments(const TAlignments& alignments);

    /// Suspends repainting until the matching EndUpdate, which lays out and repaints everything.
    void BeginUpdate();
    void EndUpdate();

    TGridRect CellRect(int32_t col, int32_t row) const { return m_State.CellRect(col, row); }
    TGridCoord MouseToCell(int32_t x, int32_t y) const { return m_State.MouseToCell(x, y); }
    const TGridState& State() const { return m_State; }

    /// Cells read from the table by painting so far (for checks that painting reads only what
    /// it shows).
    int64_t CellsPainted() const { return m_CellsPainted; }

    std::function<void(TFastGrid& Sender)> OnSelChanged;
    std::function<void(TFastGrid& Sender, int32_t value)> OnTopLeftChanged;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    /// Places and ranges the scroll bars and repaints, unless updates are suspended.
    void Relayout();
    void PaintCell(class QPainter& p, const TGridRect& r, const QString& text, TGridTextAlign align,
                   bool fixed);

    TGridState m_State;
    std::map<int32_t, TColumnsColors> m_ColumnsColors;
    TColors m_Colors;
    TAlignments m_Alignments;
    bool m_GridLines = true;
    int m_UpdateCount = 0;
    bool m_SyncingBars = false;
    int m_WheelDelta = 0;
    int64_t m_CellsPainted = 0;
    QScrollBar* m_HorzBar = nullptr;
    QScrollBar* m_VertBar = nullptr;
};

} // namespace corvane
