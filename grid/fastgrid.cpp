#include "grid/fastgrid.h"

#include "shell/textconv.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <qdrawutil.h>

#include <algorithm>

namespace corvane {
namespace {

QRect ToQRect(const TGridRect& r)
{
    return QRect(r.Left, r.Top, r.Width, r.Height);
}

Qt::CursorShape CursorShape(TGridCursor cursor)
{
    switch (cursor) {
    case TGridCursor::ColSplit:
        return Qt::SplitHCursor;
    case TGridCursor::ColSelect:
        return Qt::UpArrowCursor;
    case TGridCursor::RowSelect:
        return Qt::PointingHandCursor;
    default:
        return Qt::ArrowCursor;
    }
}

} // namespace

TFastGrid::TFastGrid(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_HorzBar = new QScrollBar(Qt::Horizontal, this);
    m_VertBar = new QScrollBar(Qt::Vertical, this);
    for (QScrollBar* bar : {m_HorzBar, m_VertBar}) {
        bar->hide();
        bar->setFocusPolicy(Qt::NoFocus);
        bar->resize(kGridScrollBarSize, kGridScrollBarSize);
    }
    connect(m_VertBar, &QScrollBar::valueChanged, this, [this](int value) {
        if (!m_SyncingBars)
            m_State.SetTopRow(value);
    });
    connect(m_HorzBar, &QScrollBar::valueChanged, this, [this](int value) {
        if (!m_SyncingBars)
            m_State.SetLeftCol(value);
    });
    m_State.OnSelChanged = [this] {
        if (m_UpdateCount == 0)
            update();
        if (OnSelChanged)
            OnSelChanged(*this);
    };
    m_State.OnTopLeftChanged = [this](int32_t value) {
        Relayout();
        if (OnTopLeftChanged)
            OnTopLeftChanged(*this, value);
    };
}

TFastGrid::~TFastGrid()
{
    // The state's events point back at this widget; they must not fire while it goes.
    m_State.OnSelChanged = nullptr;
    m_State.OnTopLeftChanged = nullptr;
}

bool TFastGrid::SetDataFile(const std::string& FileName)
{
    const bool ok = m_State.SetDataFile(FileName);
    Relayout();
    return ok;
}

void TFastGrid::HideRow(int32_t Row)
{
    m_State.HideRow(Row);
    Relayout();
}

void TFastGrid::ResetAllRows()
{
    m_State.ResetAllRows();
    Relayout();
}

void TFastGrid::SetHeaderText(int32_t ACol, const std::string& text)
{
    m_State.SetHeaderText(ACol, text);
    Relayout();
}

void TFastGrid::SetColumnsColors(int32_t ACol, const TColumnsColors& colors)
{
    m_ColumnsColors[ACol] = colors;
    Relayout();
}

void TFastGrid::SetColCount(int32_t count)
{
    m_State.SetColCount(count);
    Relayout();
}

void TFastGrid::SetRowCount(int32_t count)
{
    m_State.SetRowCount(count);
    Relayout();
}

void TFastGrid::SetBorderStyle(bool single)
{
    m_State.SetBorder(single);
    Relayout();
}

void TFastGrid::SetRowHeight(int32_t height)
{
    m_State.SetRowHeight(height);
    Relayout();
}

void TFastGrid::SetDefaultColWidth(int32_t width)
{
    m_State.SetDefaultColWidth(width);
    Relayout();
}

void TFastGrid::SetMinColWidth(int32_t width)
{
    m_State.SetMinColWidth(width);
    Relayout();
}

void TFastGrid::SetColWidth(int32_t index, int32_t width)
{
    m_State.SetColWidth(index, width);
    Relayout();
}

void TFastGrid::SetScrollBars(TGridScrollBars bars)
{
    m_State.SetScrollBars(bars);
    Relayout();
}

void TFastGrid::SetNumbered(bool numbered)
{
    m_State.SetNumbered(numbered);
    Relayout();
}

void TFastGrid::SetStartNumber(int32_t number)
{
    m_State.SetStartNumber(number);
    Relayout();
}

void TFastGrid::SetGridLines(bool on)
{
    m_GridLines = on;
    Relayout();
}

void TFastGrid::SetColors(const TColors& colors)
{
    m_Colors = colors;
    Relayout();
}

void TFastGrid::SetAlignments(const TAlignments& alignments)
{
    m_Alignments = alignments;
    Relayout();
}

void TFastGrid::BeginUpdate()
{
    ++m_UpdateCount;
}

void TFastGrid::EndUpdate()
{
    if (m_UpdateCount > 0 && --m_UpdateCount == 0)
        Relayout();
}

void TFastGrid::Relayout()
{
    if (m_UpdateCount > 0)
        return;
    const bool horz = m_State.HorzBarShown();
    const bool vert = m_State.VertBarShown();
    const int m = m_State.Margin();
    const int bar = kGridScrollBarSize;
    m_SyncingBars = true;
    if (vert) {
        m_VertBar->setGeometry(width() - m - bar, m, bar, height() - 2 * m - (horz ? bar + 1 : 0));
        m_VertBar->setRange(0, m_State.MaxTopRow());
        m_VertBar->setPageStep(std::max(1, m_State.FullVisibleRowCount()));
        m_VertBar->setValue(m_State.TopRow());
    }
    if (horz) {
        m_HorzBar->setGeometry(m, height() - m - bar, width() - 2 * m - (vert ? bar + 1 : 0), bar);
        m_HorzBar->setRange(0, m_State.MaxLeftCol());
        m_HorzBar->setPageStep(m_State.FitColCount());
        m_HorzBar->setValue(m_State.LeftCol());
    }
    m_VertBar->setVisible(vert);
    m_HorzBar->setVisible(horz);
    m_SyncingBars = false;
    update();
}

// ---- painting --------------------------------------------------------------------------------

void TFastGrid::PaintCell(QPainter& p, const TGridRect& r, const QString& text,
                          TGridTextAlign align, bool fixed)
{
    if (fixed) {
        const QBrush fill(m_Colors.FixedCells);
        qDrawShadePanel(&p, ToQRect(r), palette(), false, 1, &fill);
    }
    if (text.isEmpty())
        return;
    const QFontMetrics fm = p.fontMetrics();
    const int x = TGridState::TextLeft(r, fm.horizontalAdvance(text), align);
    const int y = r.Top + (m_State.RowHeight() - fm.height()) / 2 + fm.ascent();
    p.save();
    p.setClipRect(ToQRect(r), Qt::IntersectClip);
    p.drawText(x, y, text);
    p.restore();
}

void TFastGrid::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    if (m_State.Border())
        qDrawWinPanel(&p, rect(), palette(), true);
    const TGridRect area = m_State.CellArea();
    p.setClipRect(ToQRect(area));
    p.fillRect(ToQRect(area), m_Colors.Background);

    const int32_t rows = m_State.VisibleRowCount();
    const int32_t cols = m_State.VisibleColCount();
    const int32_t top = m_State.TopRow();
    const int32_t left = m_State.LeftCol();
    // The lines between cells: what the cells leave uncovered of the area they span.
    const int32_t right = m_State.CellRect(cols > 0 ? left + cols : 0, 0).Right();
    const int32_t bottom = m_State.CellRect(0, rows > 0 ? top + rows : 0).Bottom();
    const QColor lineColor = m_GridLines ? QColor(192, 192, 192) : m_Colors.DataCells;
    p.fillRect(QRect(area.Left, area.Top, right + 1 - area.Left, bottom + 1 - area.Top), lineColor);

    PaintCell(p, m_State.CellRect(0, 0), QString(), m_Alignments.HeaderText, true);
    for (int32_t c = left; c < left + cols; ++c)
        PaintCell(p, m_State.CellRect(c + 1, 0), FromAnsi(m_State.GetHeaderText(c)),
                  m_Alignments.HeaderText, true);

    const TGridCoord focused = m_State.FocusedCell();
    for (int32_t r = top; r < top + rows; ++r) {
        PaintCell(p, m_State.CellRect(0, r + 1), QString::fromStdString(m_State.NumberText(r)),
                  m_Alignments.FixedColText, true);
        for (int32_t c = left; c < left + cols; ++c) {
            const TGridRect cell = m_State.CellRect(c + 1, r + 1);
            QColor back = m_Colors.DataCells;
            QColor text = palette().color(QPalette::Text);
            if (focused.X == c && focused.Y == r) {
                back = palette().color(QPalette::Highlight);
                text = palette().color(QPalette::HighlightedText);
            } else if (auto it = m_ColumnsColors.find(c); it != m_ColumnsColors.end()) {
                back = it->second.BackColor;
                text = it->second.FontColor;
            }
            p.fillRect(ToQRect(cell), back);
            p.setPen(text);
            ++m_CellsPainted;
            PaintCell(p, cell, FromAnsi(m_State.GetDataVisible(c, r)), m_Alignments.Data, false);
        }
        p.setPen(palette().color(QPalette::Text));
    }
}

// ---- input -----------------------------------------------------------------------------------

void TFastGrid::resizeEvent(QResizeEvent*)
{
    m_State.SetClientSize(width(), height());
    Relayout();
}

void TFastGrid::keyPressEvent(QKeyEvent* event)
{
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_Up:
        m_State.KeyDown(TGridKey::Up);
        break;
    case Qt::Key_Down:
        m_State.KeyDown(TGridKey::Down);
        break;
    case Qt::Key_Left:
        m_State.KeyDown(TGridKey::Left);
        break;
    case Qt::Key_Right:
        m_State.KeyDown(TGridKey::Right);
        break;
    case Qt::Key_PageUp:
        m_State.KeyDown(ctrl ? TGridKey::CtrlPageUp : TGridKey::PageUp);
        break;
    case Qt::Key_PageDown:
        m_State.KeyDown(ctrl ? TGridKey::CtrlPageDown : TGridKey::PageDown);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        m_State.KeyDown(TGridKey::Enter);
        break;
    default:
        QWidget::keyPressEvent(event); // the form gets every other key
    }
}

void TFastGrid::wheelEvent(QWheelEvent* event)
{
    m_WheelDelta += event->angleDelta().y();
    const int notches = m_WheelDelta / 120;
    m_WheelDelta %= 120;
    m_State.Wheel(-notches); // turning the wheel towards the user (negative delta) moves down
    event->accept();
}

void TFastGrid::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint pos = event->position().toPoint();
    m_State.MousePress(pos.x(), pos.y());
    Relayout();
}

void TFastGrid::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    setCursor(CursorShape(m_State.CursorAt(pos.x(), pos.y())));
    if (m_State.MouseMove(pos.x(), pos.y()))
        Relayout();
}

void TFastGrid::mouseReleaseEvent(QMouseEvent*)
{
    m_State.MouseRelease();
    Relayout();
}

void TFastGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    m_State.MouseDoubleClick(pos.x(), pos.y());
    Relayout();
}

void TFastGrid::focusInEvent(QFocusEvent* event)
{
    // A click sets the focused cell itself; scrolling first would move the cell under the pointer.
    if (event->reason() != Qt::MouseFocusReason)
        m_State.FocusIn();
    QWidget::focusInEvent(event);
}

void TFastGrid::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange)
        update();
    QWidget::changeEvent(event);
}

} // namespace corvane
