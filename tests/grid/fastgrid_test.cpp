#include "grid/fastgrid.h"
#include "tests/support/tempdir.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace corvane;

namespace {

// A table of `rows` rows whose cells are only written in the first and the last row; the rows
// between read as zeros, so a long table costs no disk space.
void MakeLongTable(const std::string& path, int32_t rows)
{
    TFGStreamData t;
    ASSERT_TRUE(t.CreateNewDataFile(path, 2, rows, 0));
    ASSERT_TRUE(t.ColumnAdd(fgcText, 16, "ColWord", "Word"));
    ASSERT_TRUE(t.ColumnAdd(fgcInt, 4, "ColFreq", "Freq"));
    for (int32_t r : {0, rows - 1}) {
        ASSERT_TRUE(t.WriteData(0, r, std::string_view("row" + std::to_string(r))));
        ASSERT_TRUE(t.WriteData(1, r, r));
    }
}

QScrollBar* VerticalBar(TFastGrid& grid)
{
    for (QScrollBar* bar : grid.findChildren<QScrollBar*>())
        if (bar->orientation() == Qt::Vertical)
            return bar;
    return nullptr;
}

struct FastGridFixture : ::testing::Test
{
    void SetUp() override
    {
        MakeLongTable(dir.File("long.bin"), kRows);
        grid.resize(400, 300);
        ASSERT_TRUE(grid.SetDataFile(dir.File("long.bin")));
        grid.OnSelChanged = [this](TFastGrid& sender) {
            EXPECT_EQ(&sender, &grid);
            ++selChanged;
        };
        grid.show();
    }

    static constexpr int32_t kRows = 1000000;
    test::TTempDir dir;
    TFastGrid grid;
    int selChanged = 0;
};

} // namespace

TEST_F(FastGridFixture, PaintingReadsOnlyTheCellsInView)
{
    auto cellsReadByOnePaint = [this] {
        const int64_t before = grid.CellsPainted();
        grid.grab();
        return grid.CellsPainted() - before;
    };
    EXPECT_EQ(grid.VisibleRowCount(), 15);
    EXPECT_EQ(grid.VisibleColCount(), 2);
    EXPECT_EQ(cellsReadByOnePaint(), 15 * 2);

    grid.SetTopRow(kRows); // clamped to the last page
    EXPECT_EQ(grid.TopRow(), kRows - 14);
    EXPECT_EQ(cellsReadByOnePaint(), 14 * 2);
    EXPECT_EQ(grid.GetDataVisible(0, kRows - 1), "row999999");
}

TEST_F(FastGridFixture, KeysReachTheStateAndTheScrollBarFollows)
{
    grid.setFocus();
    selChanged = 0; // focusing may already have set the first cell
    QTest::keyClick(&grid, Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(grid.FocusedCell(), (TGridCoord{0, kRows - 1}));
    EXPECT_EQ(selChanged, 1);
    QScrollBar* bar = VerticalBar(grid);
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->maximum(), kRows - 14);
    EXPECT_EQ(bar->value(), grid.TopRow());

    QTest::keyClick(&grid, Qt::Key_Return); // last row of column 0: on to column 1
    EXPECT_EQ(grid.FocusedCell(), (TGridCoord{1, 0}));
    EXPECT_EQ(bar->value(), 0);

    bar->setValue(500); // dragging the bar scrolls without moving the focus
    EXPECT_EQ(grid.TopRow(), 500);
    EXPECT_EQ(grid.FocusedCell(), (TGridCoord{1, 0}));
}

TEST_F(FastGridFixture, WheelMovesTheFocusedRow)
{
    grid.SetFocusedCell(0, 10);
    QWheelEvent down(QPointF(100, 100), grid.mapToGlobal(QPointF(100, 100)), QPoint(),
                     QPoint(0, -240), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&grid, &down);
    EXPECT_EQ(grid.FocusedCell().Y, 12);
}

TEST_F(FastGridFixture, OtherKeysGoToTheForm)
{
    QWidget form;
    grid.setParent(&form);
    struct TKeySpy : QObject
    {
        int keys = 0;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::KeyPress)
                ++keys;
            return false;
        }
    } spy;
    form.installEventFilter(&spy);
    QTest::keyClick(&grid, Qt::Key_A);
    EXPECT_EQ(spy.keys, 1);
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(spy.keys, 1);
    grid.setParent(nullptr);
}

TEST_F(FastGridFixture, ClickFocusesTheCellUnderThePointer)
{
    grid.SetTopRow(300);
    const TGridRect cell = grid.CellRect(2, 305); // data column 1, shown row 304
    QTest::mouseClick(&grid, Qt::LeftButton, {}, QPoint(cell.Left + 4, cell.Top + 4));
    EXPECT_EQ(grid.FocusedCell(), (TGridCoord{1, 304}));
    EXPECT_EQ(grid.TopRow(), 300);
}
