#include "platform/userlocale.h"
#include "tables/fgstreamdata.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <random>

using namespace corvane;

namespace {

// The three-column table used by several cases: text width 16, int, float; 2 rows.
void CreateSmallTable(TFGStreamData& t, const std::string& path)
{
    ASSERT_TRUE(t.CreateNewDataFile(path, 3, 2, 0));
    ASSERT_TRUE(t.ColumnAdd(fgcText, 16, "Col_Word", "Word"));
    ASSERT_TRUE(t.ColumnAdd(fgcInt, 99, "Col_Freq", "Frequency"));
    ASSERT_TRUE(t.ColumnAdd(fgcFloat, 0, "Col_P", "Probability"));
}

int64_t FileSize(const std::string& path)
{
    return static_cast<int64_t>(std::filesystem::file_size(path));
}

} // namespace

TEST(TFGStreamDataTest, ColumnMajorLayoutPositionsAndBytes)
{
    test::TTempDir dir;
    const std::string path = dir.File("t.bin");
    {
        TFGStreamData t;
        CreateSmallTable(t, path);
        EXPECT_EQ(FileSize(path), 12 + 3 * 139); // descriptors at 12, 151, 290
        ASSERT_TRUE(t.WriteData(2, 1, 0.5f));
        ASSERT_TRUE(t.Flush());
        EXPECT_EQ(FileSize(path), 477); // the file grows to the cell; the gap reads as zeros
        ASSERT_TRUE(t.WriteData(0, 0, std::string_view("ab")));
        ASSERT_TRUE(t.WriteData(1, 1, int32_t{42}));
        ASSERT_TRUE(t.WriteData("col_p", 0, 0.25f)); // names ignore ASCII case
    }
    const std::string bytes = test::ReadFileBytes(path);
    ASSERT_EQ(bytes.size(), 477u);
    int32_t header[3];
    std::memcpy(header, bytes.data(), 12);
    EXPECT_EQ(header[0], 3);
    EXPECT_EQ(header[1], 2);
    EXPECT_EQ(header[2], 0);
    // Descriptor 1: type, width, reserved, name and caption with length bytes, zero padded.
    const std::string d1 = bytes.substr(151, 139);
    EXPECT_EQ(d1[0], fgcInt);
    EXPECT_EQ(d1.substr(1, 8), std::string("\x04\0\0\0\0\0\0\0", 8));
    EXPECT_EQ(d1.substr(9, 9), "\x08" "Col_Freq");
    EXPECT_EQ(d1.substr(18, 56), std::string(56, '\0'));
    EXPECT_EQ(d1.substr(74, 10), "\x09" "Frequency");
    EXPECT_EQ(bytes.substr(429, 16), std::string("ab\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 16));
    int32_t i;
    std::memcpy(&i, bytes.data() + 465, 4);
    EXPECT_EQ(i, 42);
    float f;
    std::memcpy(&f, bytes.data() + 469, 4);
    EXPECT_EQ(f, 0.25f);
    std::memcpy(&f, bytes.data() + 473, 4);
    EXPECT_EQ(f, 0.5f);

    TFGStreamData t;
    ASSERT_TRUE(t.OpenDataFile(path, true));
    EXPECT_EQ(t.GetDataAsText(0, 0), "ab");
    EXPECT_EQ(t.GetDataAsInt(1, 1), 42);
    EXPECT_EQ(t.GetDataAsInt(1, 0), 0);
    EXPECT_EQ(t.GetDataAsFloat(2, 1), 0.5f);
    EXPECT_EQ(t.GetDataAsInt(2, 1), 0); // wrong type
    EXPECT_EQ(t.GetDataAsDouble(2, 1), 0.0);
    EXPECT_EQ(t.GetDataAsText(1, 1), "");
    EXPECT_EQ(t.ColumnGetCapt(2), "Probability");
    EXPECT_EQ(t.ColumnGetType(1), fgcInt);
    EXPECT_EQ(t.GetColByName("COL_WORD"), 0);
    EXPECT_EQ(t.GetColByName("Col"), -1);
}

TEST(TFGStreamDataTest, TextCellsAreCutOrPadded)
{
    test::TTempDir dir;
    const std::string path = dir.File("t.bin");
    {
        TFGStreamData t;
        CreateSmallTable(t, path);
        ASSERT_TRUE(t.WriteData(0, 0, std::string_view("abcdefghijklmnopqrst")));
        ASSERT_TRUE(t.WriteData(0, 1, std::string_view("xy")));
    }
    {
        TFGStreamData t;
        ASSERT_TRUE(t.OpenDataFile(path, false));
        EXPECT_EQ(t.GetDataAsText(0, 0), "abcdefghijklmnop");
        ASSERT_TRUE(t.WriteData(0, 1, std::string_view("z")));
    }
    const std::string bytes = test::ReadFileBytes(path);
    EXPECT_EQ(bytes.substr(429, 32),
              std::string("abcdefghijklmnopz\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 32));
}

TEST(TFGStreamDataTest, OutOfRangeReadsAreEmptyAndWritesChangeNothing)
{
    test::TTempDir dir;
    const std::string path = dir.File("t.bin");
    TFGStreamData t;
    CreateSmallTable(t, path);
    ASSERT_TRUE(t.WriteData(1, 0, int32_t{7}));
    ASSERT_TRUE(t.Flush());
    const std::string before = test::ReadFileBytes(path);
    struct Case
    {
        int32_t col, row;
    };
    for (const Case c : {Case{3, 0}, Case{-1, 0}, Case{1, 2}, Case{1, -1}}) {
        EXPECT_FALSE(t.WriteData(c.col, c.row, int32_t{1}));
        EXPECT_EQ(t.GetDataAsInt(c.col, c.row), 0);
        EXPECT_EQ(t.GetDataVisible(c.col, c.row), "");
    }
    EXPECT_FALSE(t.WriteData(1, 0, 1.5f));               // type mismatch
    EXPECT_FALSE(t.WriteData(0, 0, int32_t{1}));         // int into text
    EXPECT_FALSE(t.WriteData(2, 0, std::string_view("x"))); // text into float
    EXPECT_FALSE(t.WriteData("nope", 0, int32_t{1}));
    ASSERT_TRUE(t.Flush());
    EXPECT_EQ(test::ReadFileBytes(path), before);
    EXPECT_EQ(t.ColumnGetType(5), fgcNone);
    EXPECT_EQ(t.ColumnGetCapt(5), "");
}

TEST(TFGStreamDataTest, FixedRecordLayout)
{
    test::TTempDir dir;
    const std::string path = dir.File("sorted.bin");
    {
        TFGStreamData t;
        ASSERT_TRUE(t.CreateNewDataFile(path, 4, 3, 50));
        EXPECT_FALSE(t.ColumnAdd(fgcText, 10, "x", "x")); // no descriptors in this layout
        ASSERT_TRUE(t.WriteData(3, 2, std::string_view("word: 0.5")));
        ASSERT_TRUE(t.WriteData(0, 0, std::string_view(std::string(60, 'w'))));
    }
    EXPECT_EQ(FileSize(path), 12 + 12 * 50);
    TFGStreamData t;
    ASSERT_TRUE(t.OpenDataFile(path, true));
    EXPECT_EQ(t.ColumnGetCapt(3), "3");
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(t.ColumnGetType(c), fgcText);
    EXPECT_EQ(t.GetDataAsText(3, 2), "word: 0.5");
    EXPECT_EQ(t.GetDataAsText(0, 0), std::string(50, 'w'));
    EXPECT_EQ(t.GetDataAsInt(3, 2), 0);
    EXPECT_EQ(t.GetDataVisible(3, 2), "word: 0.5");
}

TEST(TFGStreamDataTest, RowMajorTablesAreReadable)
{
    test::TTempDir dir;
    const std::string path = dir.File("rows.bin");
    // Header {2 columns, 3 rows, -1}, descriptors int + text(4), then rows of 8 bytes.
    std::string bytes(12 + 2 * 139, '\0');
    const int32_t header[3] = {2, 3, -1};
    std::memcpy(bytes.data(), header, 12);
    bytes[12] = fgcInt;
    bytes[13] = 4;
    bytes[12 + 139] = fgcText;
    bytes[13 + 139] = 4;
    bytes[12 + 139 + 74] = 1;
    bytes[12 + 139 + 75] = 'T';
    for (int32_t r = 0; r < 3; ++r) {
        bytes.append(reinterpret_cast<const char*>(&r), 4);
        bytes += std::string("r") + char('0' + r) + std::string(2, '\0');
    }
    test::WriteFileBytes(path, bytes);
    TFGStreamData t;
    ASSERT_TRUE(t.OpenDataFile(path, true));
    EXPECT_EQ(t.GetDataAsInt(0, 2), 2);
    EXPECT_EQ(t.GetDataAsText(1, 1), "r1");
    EXPECT_EQ(t.ColumnGetCapt(1), "T");
    std::vector<int32_t> column(5, -1);
    ASSERT_TRUE(t.GetColumnAsInt(0, column));
    EXPECT_EQ(column, (std::vector<int32_t>{0, 1, 2, 0, 0}));
}

TEST(TFGStreamDataTest, GrowableTableKeepsItsRowCountWhateverTheType)
{
    test::TTempDir dir;
    for (TFGColType type : {fgcInt, fgcFloat, fgcDouble, fgcText}) {
        SCOPED_TRACE(static_cast<int>(type));
        const std::string path = dir.File("grow.bin");
        {
            TFGStreamData t;
            ASSERT_TRUE(t.CreateNewDataFile(path, 1, 0, 0));
            ASSERT_TRUE(t.ColumnAdd(type, 8, "c", "c"));
            for (int32_t r = 0; r < 10; ++r) {
                bool ok = false;
                switch (type) {
                case fgcInt: ok = t.WriteData(0, r, r); break;
                case fgcFloat: ok = t.WriteData(0, r, float(r)); break;
                case fgcDouble: ok = t.WriteData(0, r, double(r)); break;
                default: ok = t.WriteData(0, r, std::string_view("t")); break;
                }
                ASSERT_TRUE(ok);
            }
            EXPECT_EQ(t.RowCount(), 10);
        }
        TFGStreamData t;
        ASSERT_TRUE(t.OpenDataFile(path, true));
        EXPECT_EQ(t.RowCount(), 10);
        t.CloseDataFile();
        EXPECT_EQ(t.RowCount(), 0);
    }
}

TEST(TFGStreamDataTest, ExplicitCloseOfAGrowableTableKeepsItsRows)
{
    test::TTempDir dir;
    const std::string path = dir.File("grow.bin");
    TFGStreamData t;
    ASSERT_TRUE(t.CreateNewDataFile(path, 1, 0, 0));
    ASSERT_TRUE(t.ColumnAdd(fgcInt, 4, "c", "c"));
    ASSERT_TRUE(t.WriteData(0, 4, int32_t{5}));
    t.CloseDataFile();
    ASSERT_TRUE(t.OpenDataFile(path, true));
    EXPECT_EQ(t.RowCount(), 5);
    EXPECT_EQ(t.GetDataAsInt(0, 4), 5);
}

TEST(TFGStreamDataTest, VisibleTextsAndWholeColumns)
{
    test::TTempDir dir;
    const std::string path = dir.File("t.bin");
    TFGStreamData t;
    ASSERT_TRUE(t.CreateNewDataFile(path, 3, 4, 0));
    ASSERT_TRUE(t.ColumnAdd(fgcInt, 4, "i", "I"));
    ASSERT_TRUE(t.ColumnAdd(fgcDouble, 8, "d", "D"));
    ASSERT_TRUE(t.ColumnAdd(fgcFloat, 4, "f", "F"));
    for (int32_t r = 0; r < 4; ++r)
        ASSERT_TRUE(t.WriteData(0, r, r * 10 - 5));
    ASSERT_TRUE(t.WriteData(1, 0, 1234.56789));
    const float col[] = {0.5f, 1.5f, 2.5f};
    ASSERT_TRUE(t.WriteColumnFloat(2, 1, col));

    SetUserDecimalSeparator(',');
    EXPECT_EQ(t.GetDataVisible(0, 0), "-5");
    EXPECT_EQ(t.GetDataVisible(1, 0), "1234,56790");
    EXPECT_EQ(t.GetDataVisible(2, 2), "1,50000");
    SetUserDecimalSeparator('.');
    EXPECT_EQ(t.GetDataVisible(2, 0), "0.00000");

    std::vector<int32_t> ints(4);
    ASSERT_TRUE(t.GetColumnAsInt(0, ints));
    EXPECT_EQ(ints, (std::vector<int32_t>{-5, 5, 15, 25}));
    std::vector<float> floats(4);
    ASSERT_TRUE(t.GetColumnAsFloat(2, floats));
    EXPECT_EQ(floats, (std::vector<float>{0, 0.5f, 1.5f, 2.5f}));
    EXPECT_FALSE(t.GetColumnAsInt(2, ints)); // not an int column
    EXPECT_FALSE(t.WriteColumnFloat(2, 2, col)); // would pass the last row
}

TEST(TFGStreamDataTest, ConcurrentWritersProduceEveryCell)
{
    test::TTempDir dir;
    const std::string path = dir.File("t.bin");
    TFGStreamData t;
    ASSERT_TRUE(t.CreateNewDataFile(path, 2, 5000, 0));
    ASSERT_TRUE(t.ColumnAdd(fgcInt, 4, "a", "a"));
    ASSERT_TRUE(t.ColumnAdd(fgcInt, 4, "b", "b"));
    std::thread other([&] {
        for (int32_t r = 0; r < 5000; ++r)
            t.WriteData(1, r, -r);
    });
    for (int32_t r = 0; r < 5000; ++r)
        t.WriteData(0, r, r);
    other.join();
    std::vector<int32_t> a(5000), b(5000);
    ASSERT_TRUE(t.GetColumnAsInt(0, a));
    ASSERT_TRUE(t.GetColumnAsInt(1, b));
    for (int32_t r = 0; r < 5000; ++r)
        ASSERT_TRUE(a[r] == r && b[r] == -r) << r;
}

TEST(TFGStreamDataTest, HostileHeadersAndDescriptors)
{
    test::TTempDir dir;
    const std::string path = dir.File("t.bin");
    {
        TFGStreamData t;
        CreateSmallTable(t, path);
        ASSERT_TRUE(t.WriteData(2, 1, 1.0f));
    }
    const std::string good = test::ReadFileBytes(path);
    auto put32 = [](std::string s, size_t at, int32_t v) {
        std::memcpy(s.data() + at, &v, 4);
        return s;
    };
    auto put8 = [](std::string s, size_t at, char v) {
        s[at] = v;
        return s;
    };
    struct Case
    {
        const char* name;
        std::string bytes;
        bool opens;
    };
    const Case cases[] = {
        {"empty file", "", false},
        {"short header", good.substr(0, 8), false},
        {"negative column count", put32(good, 0, -1), false},
        {"negative row count", put32(good, 4, -1), false},
        {"more descriptors than the file holds", put32(good, 0, 1000000), false},
        {"unknown column type", put8(good, 12, 9), false},
        {"int column of width 2", put32(good, 152, 2), false},
        {"negative text width", put32(good, 13, -16), false},
        {"huge text width", put32(good, 13, INT32_MAX), false},
        {"more rows than written", put32(good, 4, 1000000), true},
        {"huge fixed-record cells", put32(put32(good, 8, INT32_MAX), 4, 4), true},
        {"cut inside the cells", good.substr(0, 440), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::WriteFileBytes(path, c.bytes);
        TFGStreamData t;
        EXPECT_EQ(t.OpenDataFile(path, true), c.opens);
        for (int32_t col = -1; col <= t.ColCount() && col < 5; ++col)
            for (int32_t row = 0; row < std::min(t.RowCount(), 5); ++row)
                t.GetDataVisible(col, row);
        std::vector<int32_t> column(16);
        t.GetColumnAsInt(1, column);
    }
    // Random damage: every read must stay inside the file.
    std::mt19937 rng(7);
    for (int round = 0; round < 300; ++round) {
        std::string bad = good;
        for (int k = 0; k < 3; ++k)
            bad[rng() % 300] = static_cast<char>(rng());
        test::WriteFileBytes(path, bad);
        TFGStreamData t;
        if (t.OpenDataFile(path, true))
            for (int32_t col = 0; col < std::min(t.ColCount(), 8); ++col)
                for (int32_t row = 0; row < std::min(t.RowCount(), 4); ++row)
                    t.GetDataVisible(col, row);
    }
}

namespace {

/// Three rows of a text column (width 8) and two float columns, column-major.
void WriteWordTable(const std::string& path)
{
    TFGStreamData t;
    ASSERT_TRUE(t.CreateNewDataFile(path, 3, 3, 0));
    ASSERT_TRUE(t.ColumnAdd(fgcText, 8, "Col_Word", "Word"));
    ASSERT_TRUE(t.ColumnAdd(fgcFloat, 4, "Col_A", "A"));
    ASSERT_TRUE(t.ColumnAdd(fgcFloat, 4, "Col_B", "B"));
    const char* words[] = {"one", "two", "three"};
    for (int32_t r = 0; r < 3; ++r) {
        ASSERT_TRUE(t.WriteData(0, r, std::string_view(words[r])));
        ASSERT_TRUE(t.WriteData(1, r, 1.5f * r));
        ASSERT_TRUE(t.WriteData(2, r, -2.0f * r));
    }
}

} // namespace

TEST(TFGStreamDataTest, ReadColumnCellsReadsRunsWhateverTheType)
{
    test::TTempDir tmp;
    const std::string path = tmp.File("t.bin");
    WriteWordTable(path);
    TFGStreamData t;
    ASSERT_TRUE(t.OpenDataFile(path, true));

    float values[2];
    ASSERT_TRUE(t.ReadColumnCells(1, 1, std::as_writable_bytes(std::span(values))));
    EXPECT_EQ(values[0], 1.5f);
    EXPECT_EQ(values[1], 3.0f);

    char words[24];
    ASSERT_TRUE(t.ReadColumnCells(0, 0, std::as_writable_bytes(std::span(words))));
    EXPECT_EQ(std::string(words, 24), std::string("one\0\0\0\0\0two\0\0\0\0\0three\0\0\0", 24));

    // The last column read on past the end of the file: the missing bytes read as zero.
    float tail[4] = {9, 9, 9, 9};
    ASSERT_TRUE(t.ReadColumnCells(2, 1, std::as_writable_bytes(std::span(tail))));
    EXPECT_EQ(tail[0], -2.0f);
    EXPECT_EQ(tail[1], -4.0f);
    EXPECT_EQ(tail[2], 0.0f);
    EXPECT_EQ(tail[3], 0.0f);

    EXPECT_FALSE(t.ReadColumnCells(3, 0, std::as_writable_bytes(std::span(values))));
    EXPECT_FALSE(t.ReadColumnCells(1, 3, std::as_writable_bytes(std::span(values))));
}

TEST(TFGStreamDataTest, CellsFitInFileCatchesTruncatedTables)
{
    test::TTempDir tmp;
    const std::string path = tmp.File("t.bin");
    WriteWordTable(path);
    const auto full = std::filesystem::file_size(path);
    EXPECT_EQ(full, 12u + 3 * 139 + 3 * 16);
    for (auto size : {full, full - 1, uintmax_t{12 + 3 * 139}}) {
        SCOPED_TRACE(size);
        std::filesystem::resize_file(path, size);
        TFGStreamData t;
        ASSERT_TRUE(t.OpenDataFile(path, true));
        EXPECT_EQ(t.CellsFitInFile(), size == full);
    }

    // A fixed-record header that promises a billion cells in a 12-byte file.
    TFGStreamDataHeader huge{1000, 1000000, 50};
    test::WriteFileBytes(path, std::string(reinterpret_cast<const char*>(&huge), sizeof huge));
    TFGStreamData t;
    ASSERT_TRUE(t.OpenDataFile(path, true));
    EXPECT_FALSE(t.CellsFitInFile());
}

TEST(TFGStreamDataTest, WriteColumnCellsWritesWholeColumnsOfFixedRecords)
{
    test::TTempDir tmp;
    const std::string path = tmp.File("sorted.bin");
    TFGStreamData t;
    ASSERT_TRUE(t.CreateNewDataFile(path, 2, 3, 50));
    std::string cells(150, '\0');
    for (int r = 0; r < 3; ++r)
        cells.replace(r * 50, 5, "row " + std::to_string(r));
    ASSERT_TRUE(t.WriteColumnCells(0, 0, std::as_bytes(std::span(cells))));
    ASSERT_TRUE(t.WriteColumnCells(1, 1, std::as_bytes(std::span(cells).first(100))));
    EXPECT_EQ(std::filesystem::file_size(path), 12u + 6 * 50);
    EXPECT_EQ(t.GetDataAsText(0, 2), "row 2");
    EXPECT_EQ(t.GetDataAsText(1, 0), "");
    EXPECT_EQ(t.GetDataAsText(1, 2), "row 1");

    // Part of a cell, more rows than the table has, a column that does not exist.
    EXPECT_FALSE(t.WriteColumnCells(0, 0, std::as_bytes(std::span(cells).first(149))));
    EXPECT_FALSE(t.WriteColumnCells(0, 1, std::as_bytes(std::span(cells))));
    EXPECT_FALSE(t.WriteColumnCells(2, 0, std::as_bytes(std::span(cells))));
    EXPECT_EQ(std::filesystem::file_size(path), 12u + 6 * 50);
}
