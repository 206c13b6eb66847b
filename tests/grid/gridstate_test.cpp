#include "grid/gridstate.h"
#include "platform/userlocale.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

using namespace corvane;

namespace {

// A word list table like the one the preparation tab shows: "Word" (text), "Freq" (int) and
// "TF-IDF" (double); row r holds "w<r>", r and r / 2.
void MakeWordTable(const std::string& path, int32_t rows)
{
    TFGStreamData t;
    ASSERT_TRUE(t.CreateNewDataFile(path, 3, rows, 0));
    ASSERT_TRUE(t.ColumnAdd(fgcText, 16, "ColWord", "Word"));
    ASSERT_TRUE(t.ColumnAdd(fgcInt, 4, "ColFreq", "Freq"));
    ASSERT_TRUE(t.ColumnAdd(fgcDouble, 8, "ColTFIDF", "TF-IDF"));
    for (int32_t r = 0; r < rows; ++r) {
        ASSERT_TRUE(t.WriteData(0, r, std::string_view("w" + std::to_string(r))));
        ASSERT_TRUE(t.WriteData(1, r, r));
        ASSERT_TRUE(t.WriteData(2, r, r / 2.0));
    }
}

// A grid of 400 x 300 pixels with a frame: header and rows are 19 pixels apart, so 1000 rows
// need the vertical bar and the data area holds 14 whole rows (15 in part).
struct GridFixture : ::testing::Test
{
    void SetUp() override
    {
        SetUserDecimalSeparator(',');
        MakeWordTable(dir.File("words.bin"), 1000);
        grid.SetClientSize(400, 300);
        ASSERT_TRUE(grid.SetDataFile(dir.File("words.bin")));
        grid.OnSelChanged = [this] { ++selChanged; };
        grid.OnTopLeftChanged = [this](int32_t value) {
            EXPECT_EQ(value, 1);
            ++topLeftChanged;
        };
    }

    test::TTempDir dir;
    TGridState grid;
    int selChanged = 0;
    int topLeftChanged = 0;
};

} // namespace

TEST_F(GridFixture, AttachedTableGivesCountsHeadersAndNumbers)
{
    EXPECT_EQ(grid.ColCount(), 3);
    EXPECT_EQ(grid.RowCount(), 1000);
    EXPECT_EQ(grid.ShownRowCount(), 1000);
    EXPECT_EQ(grid.GetHeaderText(0), "Word");
    EXPECT_EQ(grid.GetHeaderText(1), "Freq");
    EXPECT_EQ(grid.GetHeaderText(2), "TF-IDF");
    EXPECT_EQ(grid.NumberText(0), "1");
    EXPECT_EQ(grid.NumberText(999), "1000");
    EXPECT_EQ(grid.NumberText(1000), "");
    grid.SetStartNumber(0);
    EXPECT_EQ(grid.NumberText(0), "0");
    grid.SetNumbered(false);
    EXPECT_EQ(grid.NumberText(0), "");

    EXPECT_EQ(grid.GetDataVisible(0, 12), "w12");
    EXPECT_EQ(grid.GetDataVisible(1, 12), "12");
    EXPECT_EQ(grid.GetDataVisible(2, 3), "1,50000");
    EXPECT_DOUBLE_EQ(grid.GetDataVisibleAsDouble(2, 3), 1.5);
    EXPECT_EQ(grid.GetDataVisibleAsDouble(1, 3), 0.0); // an int column
    EXPECT_EQ(grid.GetDataVisible(3, 0), "");
    EXPECT_EQ(grid.GetDataVisible(0, 1000), "");

    grid.SetHeaderText(3, "beyond"); // ignored: no such column
    EXPECT_EQ(grid.GetHeaderText(3), "");
    grid.SetHeaderText(0, "Слово");
    EXPECT_EQ(grid.GetHeaderText(0), "Слово");
}

TEST_F(GridFixture, HiddenRowsKeepNumberingWithoutGaps)
{
    grid.HideRow(5);
    grid.HideRow(5);
    EXPECT_EQ(grid.RowCount(), 998);
    EXPECT_EQ(grid.GetDataVisible(0, 5), "w7");
    EXPECT_EQ(grid.NumberText(5), "6");
    EXPECT_EQ(grid.Rows().TableRow(5), 7);
    // GetData addresses table rows but stops at the number of shown rows.
    EXPECT_EQ(grid.GetData(0, 5), "w5");
    EXPECT_EQ(grid.GetData(0, 998), "");

    grid.HideRow(5000); // out of range: nothing happens
    EXPECT_EQ(grid.RowCount(), 998);
    grid.ResetAllRows();
    EXPECT_EQ(grid.RowCount(), 1000);
    EXPECT_EQ(grid.GetDataVisible(0, 5), "w5");
}

TEST_F(GridFixture, ManyHiddenRowsMatchAPlainList)
{
    // Hide rows at scattered shown positions and follow the same steps on a plain list.
    std::vector<int32_t> expected(1000);
    for (int32_t r = 0; r < 1000; ++r)
        expected[static_cast<size_t>(r)] = r;
    uint32_t seed = 12345;
    for (int step = 0; step < 900; ++step) {
        seed = seed * 1103515245u + 12345u;
        const auto index = static_cast<int32_t>((seed >> 8) % expected.size());
        grid.HideRow(index);
        expected.erase(expected.begin() + index);
    }
    ASSERT_EQ(grid.ShownRowCount(), 100);
    for (int32_t i = 0; i < 100; ++i)
        ASSERT_EQ(grid.Rows().TableRow(i), expected[static_cast<size_t>(i)]) << i;
    EXPECT_EQ(grid.Rows().TableRow(100), -1);
    EXPECT_EQ(grid.NumberText(99), "100");

    EXPECT_FALSE(grid.SetDataFile(dir.File("missing.bin")));
    EXPECT_EQ(grid.ShownRowCount(), 0);
}

TEST_F(GridFixture, HidingTheLastShownRowLeavesOneEmptyRow)
{
    MakeWordTable(dir.File("one.bin"), 1);
    ASSERT_TRUE(grid.SetDataFile(dir.File("one.bin")));
    grid.HideRow(0);
    EXPECT_EQ(grid.ShownRowCount(), 0);
    EXPECT_EQ(grid.RowCount(), 1);
    EXPECT_EQ(grid.GetDataVisible(0, 0), "");
    EXPECT_EQ(grid.NumberText(0), "");
}

TEST_F(GridFixture, MissingOrEmptyFileDetaches)
{
    grid.SetFocusedCell(2, 500);
    grid.SetColWidth(3, 90);
    EXPECT_FALSE(grid.SetDataFile(dir.File("missing.bin")));
    EXPECT_FALSE(grid.DataPresent());
    EXPECT_EQ(grid.ColCount(), 1);
    EXPECT_EQ(grid.RowCount(), 1);
    EXPECT_EQ(grid.FocusedCell(), (TGridCoord{0, 0})); // clamped by the new counts
    EXPECT_EQ(grid.TopRow(), 0);
    EXPECT_EQ(grid.GetDataVisible(0, 0), "");

    EXPECT_EQ(grid.ColWidth(3), 0); // no such column now
    ASSERT_TRUE(grid.SetDataFile(dir.File("words.bin")));
    EXPECT_EQ(grid.ColWidth(3), 90); // widths stay through detaching and attaching
    EXPECT_FALSE(grid.SetDataFile(""));
    EXPECT_EQ(grid.ShownRowCount(), 0);
}

TEST_F(GridFixture, LayoutNeedsTheVerticalBarOnly)
{
    EXPECT_TRUE(grid.VertBarShown());
    EXPECT_FALSE(grid.HorzBarShown());
    EXPECT_EQ(grid.FullVisibleRowCount(), 14);
    EXPECT_EQ(grid.VisibleRowCount(), 15);
    EXPECT_EQ(grid.FullVisibleColCount(), 3);
    EXPECT_EQ(grid.MaxTopRow(), 986);
    EXPECT_EQ(grid.MaxLeftCol(), 0);

    grid.SetScrollBars(ssHorizontal);
    EXPECT_FALSE(grid.VertBarShown());
    grid.SetScrollBars(ssNone);
    EXPECT_FALSE(grid.VertBarShown());
    EXPECT_FALSE(grid.HorzBarShown());
}

TEST(GridStateTest, OneBarMakesTheOtherNeeded)
{
    // Columns 61 + 3 x 121 = 424 pixels fit into 430 but not into 400. The rows fit into 300
    // pixels only until the horizontal bar takes 17 of them.
    TGridState grid;
    grid.SetColCount(3);
    grid.SetRowCount(14); // 15 x 19 = 285 <= 296, but > 279
    for (int32_t c = 1; c <= 3; ++c)
        grid.SetColWidth(c, 120);
    grid.SetClientSize(430, 300);
    EXPECT_FALSE(grid.HorzBarShown());
    EXPECT_FALSE(grid.VertBarShown());
    grid.SetClientSize(400, 300);
    EXPECT_TRUE(grid.HorzBarShown());
    EXPECT_TRUE(grid.VertBarShown());
    EXPECT_EQ(grid.CellArea().Width, 396 - 17);
    EXPECT_EQ(grid.CellArea().Height, 296 - 17);
}

TEST_F(GridFixture, ScrollPositionsAreClamped)
{
    struct Case
    {
        const char* name;
        int32_t request;
        int32_t expected;
    };
    const Case cases[] = {
        {"inside", 40, 40},
        {"negative", -3, 0},
        {"past the end", 5000, 986},
        {"the end again", 986, 986},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        grid.SetTopRow(c.request);
        EXPECT_EQ(grid.TopRow(), c.expected);
    }
    EXPECT_EQ(topLeftChanged, 3);     // "the end again" changed nothing
    EXPECT_FALSE(grid.SetLeftCol(2)); // all columns fit: nothing to scroll

    // A narrower grid scrolls the columns as far as the widest ones still fit.
    grid.SetColWidth(1, 150);
    grid.SetClientSize(200, 300);
    EXPECT_EQ(grid.FitColCount(), 1);
    EXPECT_EQ(grid.MaxLeftCol(), 2);
    EXPECT_TRUE(grid.SetLeftCol(9));
    EXPECT_EQ(grid.LeftCol(), 2);

    // Growing the grid pulls the scroll position back into the new range.
    grid.SetClientSize(400, 20000);
    EXPECT_EQ(grid.TopRow(), 0);
    EXPECT_EQ(grid.LeftCol(), 0);
}

TEST_F(GridFixture, KeysMoveTheFocusAndScrollItIntoView)
{
    grid.FocusIn();
    EXPECT_EQ(grid.FocusedCell(), (TGridCoord{0, 0}));
    EXPECT_EQ(selChanged, 1);

    selChanged = 0;
    grid.KeyDown(TGridKey::CtrlPageDown);
    EXPECT_EQ(grid.FocusedCell(), (TGridCoord{0, 999}));
    EXPECT_EQ(grid.TopRow(), 986);
    EXPECT_EQ(selChanged, 1);

    grid.KeyDown(TGridKey::PageUp); // VisibleRowCount - 1 = 13 rows
    EXPECT_EQ(grid.FocusedCell().Y, 986);
    grid.KeyDown(TGridKey::Up);
    EXPECT_EQ(grid.FocusedCell().Y, 985);
    EXPECT_EQ(grid.TopRow(), 985);
    grid.KeyDown(TGridKey::CtrlPageUp);
    EXPECT_EQ(grid.FocusedCell().Y, 0);
    EXPECT_EQ(grid.TopRow(), 0);
    grid.KeyDown(TGridKey::PageDown);
    EXPECT_EQ(grid.FocusedCell().Y, 14);
    EXPECT_EQ(grid.TopRow(), 1);

    grid.KeyDown(TGridKey::Left); // already in column 0: stays, the event still fires
    EXPECT_EQ(grid.FocusedCell(), (TGridCoord{0, 14}));
    grid.Wheel(3);
    EXPECT_EQ(grid.FocusedCell().Y, 17);
    grid.Wheel(-1);
    EXPECT_EQ(grid.FocusedCell().Y, 16);
    EXPECT_EQ(selChanged, 8);
}

TEST_F(GridFixture, EnterWrapsToTheNextColumn)
{
    grid.SetFocusedCell(1, 998);
    grid.KeyDown(TGridKey::Enter);
    EXPECT_EQ(grid.FocusedCell(), (TGridCoord{1, 999}));
    grid.KeyDown(TGridKey::Enter);
    EXPECT_EQ(grid.FocusedCell(), (TGridCoord{2, 0}));
    EXPECT_EQ(grid.TopRow(), 0);

    grid.SetFocusedCell(2, 999);
    selChanged = 0;
    grid.KeyDown(TGridKey::Enter); // last row of the last column: nothing
    EXPECT_EQ(grid.FocusedCell(), (TGridCoord{2, 999}));
    EXPECT_EQ(selChanged, 0);
}

TEST_F(GridFixture, FocusInBringsAnOutOfViewCellToTheTopLeft)
{
    grid.SetFocusedCell(1, 500);
    grid.SetTopRow(0);
    grid.FocusIn();
    EXPECT_EQ(grid.TopRow(), 500);
    EXPECT_EQ(grid.FocusedCell(), (TGridCoord{1, 500}));
}

TEST_F(GridFixture, MouseFocusesCellsAndSelectsHeaderAndNumbering)
{
    // Numbering column 0..59, line at 60; data column 0 from 63 (frame 2 + 60 + 1).
    const TGridRect cell = grid.CellRect(2, 3); // data column 1, shown row 2
    EXPECT_EQ(cell.Left, 2 + 61 + 61);
    EXPECT_EQ(cell.Top, 2 + 19 * 3);
    EXPECT_EQ(cell.Width, 60);
    EXPECT_EQ(grid.MouseToCell(cell.Left + 5, cell.Top + 5), (TGridCoord{2, 3}));

    grid.SetTopRow(100);
    EXPECT_EQ(grid.MouseToCell(cell.Left + 5, cell.Top + 5), (TGridCoord{2, 103}));
    grid.MousePress(cell.Left + 5, cell.Top + 5);
    EXPECT_EQ(grid.FocusedCell(), (TGridCoord{1, 102}));
    EXPECT_EQ(grid.Mode(), gmSelecting);
    grid.MouseRelease();

    grid.MousePress(cell.Left + 5, 5); // header row
    EXPECT_EQ(grid.Mode(), gmColSelecting);
    EXPECT_EQ(grid.FocusedCell(), (TGridCoord{1, 102}));
    grid.MouseRelease();
    grid.MousePress(10, cell.Top + 5); // numbering column
    EXPECT_EQ(grid.Mode(), gmRowSelecting);
    grid.MouseRelease();
    EXPECT_EQ(grid.CursorAt(cell.Left + 5, 5), TGridCursor::ColSelect);
    EXPECT_EQ(grid.CursorAt(10, cell.Top + 5), TGridCursor::RowSelect);

    grid.SetOptions(0);
    grid.MousePress(cell.Left + 5, 5);
    EXPECT_EQ(grid.FocusedCell(), (TGridCoord{1, 0}));
    grid.MousePress(10, cell.Top + 5);
    EXPECT_EQ(grid.FocusedCell(), (TGridCoord{0, 2}));
    EXPECT_EQ(grid.Mode(), gmNone);
}

TEST_F(GridFixture, ColumnEdgesResizeAndDoubleClickResets)
{
    const int32_t edge = grid.CellRect(1, 0).Right(); // right edge of data column 0
    EXPECT_EQ(grid.ColumnEdgeAt(edge - 2, 5), -1);    // open interval (edge - 2, edge + 4)
    EXPECT_EQ(grid.ColumnEdgeAt(edge - 1, 5), 0);
    EXPECT_EQ(grid.ColumnEdgeAt(edge + 3, 200), 0);
    EXPECT_EQ(grid.ColumnEdgeAt(edge + 4, 5), -1);
    EXPECT_EQ(grid.CursorAt(edge, 100), TGridCursor::ColSplit);

    grid.MousePress(edge, 5);
    EXPECT_EQ(grid.Mode(), gmColSizing);
    EXPECT_TRUE(grid.MouseMove(edge + 40, 5));
    EXPECT_EQ(grid.ColWidth(1), 100);
    EXPECT_TRUE(grid.MouseMove(edge - 200, 5));
    EXPECT_EQ(grid.ColWidth(1), 10); // MinColWidth
    grid.MouseRelease();
    EXPECT_EQ(grid.Mode(), gmNone);
    EXPECT_FALSE(grid.MouseMove(edge + 40, 5));

    grid.MouseDoubleClick(grid.CellRect(1, 0).Left + 3, 5);
    EXPECT_EQ(grid.ColWidth(1), 60);
}

TEST(GridStateTest, WidthDefaultsAndLimits)
{
    TGridState grid;
    EXPECT_EQ(grid.ColCount(), 2);
    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(grid.NumberText(1), "2"); // no table: every row is numbered
    grid.SetRowCount(0);
    EXPECT_EQ(grid.RowCount(), 1);

    grid.SetColWidth(2, 33);
    grid.SetDefaultColWidth(8); // below MinColWidth 10: nothing changes
    EXPECT_EQ(grid.DefaultColWidth(), 60);
    EXPECT_EQ(grid.ColWidth(2), 33);
    grid.SetDefaultColWidth(40);
    for (int32_t c = 0; c <= 2; ++c)
        EXPECT_EQ(grid.ColWidth(c), 40);

    grid.SetMinColWidth(3);
    EXPECT_EQ(grid.MinColWidth(), 5);
    grid.SetMinColWidth(50);
    EXPECT_EQ(grid.ColWidth(1), 50);
    EXPECT_EQ(grid.DefaultColWidth(), 50);

    grid.SetColCount(4); // new columns get the default width
    EXPECT_EQ(grid.ColWidth(4), 50);
}

TEST(GridStateTest, TextPlacement)
{
    const TGridRect cell{10, 0, 60, 18};
    struct Case
    {
        const char* name;
        int32_t textWidth;
        TGridTextAlign align;
        int32_t left;
    };
    const Case cases[] = {
        {"left", 20, taLeft, 12},
        {"right", 20, taRight, 10 + 60 - 20 - 2},
        {"centre", 20, taCenter, 30},
        {"just fits", 55, taRight, 10 + 60 - 55 - 2},
        {"too wide goes left", 56, taRight, 12},
        {"too wide centred", 80, taCenter, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TGridState::TextLeft(cell, c.textWidth, c.align), c.left);
    }
}

TEST_F(GridFixture, FindShownRowComparesTrimmedCellsExactly)
{
    TFGStreamData t;
    ASSERT_TRUE(t.CreateNewDataFile(dir.File("padded.bin"), 1, 3, 0));
    ASSERT_TRUE(t.ColumnAdd(fgcText, 16, "ColWord", "Word"));
    ASSERT_TRUE(t.WriteData(0, 0, std::string_view("Мама")));
    ASSERT_TRUE(t.WriteData(0, 1, std::string_view(" \tмама  ")));
    ASSERT_TRUE(t.WriteData(0, 2, std::string_view("рама")));
    t.CloseDataFile();
    ASSERT_TRUE(grid.SetDataFile(dir.File("padded.bin")));

    EXPECT_EQ(grid.Rows().FindShownRow(0, "мама"), 1);
    EXPECT_EQ(grid.Rows().FindShownRow(0, "Мама"), 0);
    EXPECT_EQ(grid.Rows().FindShownRow(0, "ма"), -1);
    grid.HideRow(0);
    EXPECT_EQ(grid.Rows().FindShownRow(0, "рама"), 1); // shown-row index
    EXPECT_EQ(grid.Rows().FindShownRow(0, "Мама"), -1);
}
