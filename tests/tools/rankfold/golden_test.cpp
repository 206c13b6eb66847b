// Runs the sorting program on each case folder next to this file and compares what it did with
// what the folder expects. A case folder holds:
//   args          the arguments on one line; $IN, $OUT and $DIR name the input, the output and
//                 the case's temporary folder. The program's descriptor 3 is always one end of
//                 a socket pair, so "3" as the last argument asks for progress messages.
//   input.txt     (optional) the input table: a line of column types ("text64", "float",
//                 "int", "text64*22" for 22 such columns), then one tab-separated line per
//                 row; "~N" stands for N empty cells. Texts are UTF-8, stored as Windows-1251.
//   truncate      (optional) the input's size in bytes after it is written.
//   env           (optional) NAME=VALUE lines added to an environment with LC_ALL=C.
//   stdout        the console output; each carriage return shows as "\r" and a line break,
//                 and $NPROC stands for the processor count.
//   exitcode      the exit status.
//   messages      (optional) the messages received, one "msg wParam lParam" per line.
//   expected.txt  (optional) the output table as DumpTable prints it; without it, no output
//                 file may exist.
#include "platform/appdirs.h"
#include "platform/childprocess.h"
#include "platform/codepage.h"
#include "platform/syncmessage.h"
#include "tables/fgstreamdata.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace corvane;
using namespace corvane::test;
namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path& path)
{
    return fs::exists(path) ? ReadFileBytes(path.string()) : std::string();
}

std::vector<std::string> Split(const std::string& text, char sep)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, sep))
        parts.push_back(part);
    return parts;
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

std::string Trimmed(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

/// Writes the table that input.txt describes.
void WriteInputTable(const std::string& description, const std::string& path)
{
    std::vector<std::string> lines = Split(description, '\n');
    ASSERT_FALSE(lines.empty());
    std::vector<std::pair<TFGColType, int32_t>> columns;
    for (const std::string& columnType : Split(lines[0], '\t')) {
        const size_t star = columnType.find('*');
        const int repeat = star == std::string::npos ? 1 : std::stoi(columnType.substr(star + 1));
        const std::string type = columnType.substr(0, star);
        for (int i = 0; i < repeat; ++i) {
            if (type.rfind("text", 0) == 0)
                columns.push_back({fgcText, std::stoi(type.substr(4))});
            else
                columns.push_back({type == "int" ? fgcInt : fgcFloat, 4});
        }
    }
    std::vector<std::vector<std::string>> rows;
    for (size_t i = 1; i < lines.size(); ++i) {
        std::vector<std::string> cells;
        for (const std::string& cell : Split(lines[i], '\t')) {
            if (!cell.empty() && cell[0] == '~')
                cells.resize(cells.size() + std::stoul(cell.substr(1)));
            else
                cells.push_back(cell);
        }
        cells.resize(columns.size()); // a line ending in empty cells loses its last tabs
        rows.push_back(cells);
    }
    TFGStreamData table;
    ASSERT_TRUE(table.CreateNewDataFile(path, static_cast<int32_t>(columns.size()),
                                        static_cast<int32_t>(rows.size()), 0));
    for (size_t c = 0; c < columns.size(); ++c)
        ASSERT_TRUE(table.ColumnAdd(columns[c].first, columns[c].second, "Col_" + std::to_string(c),
                                    std::to_string(c)));
    for (size_t r = 0; r < rows.size(); ++r) {
        for (size_t c = 0; c < columns.size(); ++c) {
            const std::string& cell = rows[r][c];
            const auto col = static_cast<int32_t>(c);
            const auto row = static_cast<int32_t>(r);
            if (columns[c].first == fgcText)
                ASSERT_TRUE(table.WriteData(col, row, std::string_view(Utf8ToCp1251(cell))));
            else if (columns[c].first == fgcInt)
                ASSERT_TRUE(table.WriteData(col, row, static_cast<int32_t>(std::stol(cell))));
            else
                ASSERT_TRUE(table.WriteData(col, row, cell.empty() ? 0.0f : std::stof(cell)));
        }
    }
}

/// The output table in text: size and header, then the cells. A cell whose bytes after its
/// text are not all zero is marked.
std::string DumpTable(const std::string& path)
{
    std::ostringstream out;
    out << "bytes " << fs::file_size(path) << "\n";
    TFGStreamData table;
    if (!table.OpenDataFile(path, true))
        return out.str() + "unreadable\n";
    const auto& h = table.HeaderInfo();
    out << "header " << h.ColCount << " " << h.RowCount << " " << h.RecSize << "\n";
    const std::string raw = ReadFileBytes(path);
    for (int32_t c = 0; c < h.ColCount; ++c) {
        out << "column " << c;
        if (h.RecSize <= 0)
            out << " type " << int(table.ColumnGetType(c)) << " width " << table.ColumnGetWidth(c)
                << " " << table.ColumnGetName(c) << " " << table.ColumnGetCapt(c);
        out << "\n";
        for (int32_t r = 0; r < h.RowCount; ++r) {
            if (table.ColumnGetType(c) == fgcFloat) {
                char buf[32];
                std::snprintf(buf, sizeof buf, "%.9g", double(table.GetDataAsFloat(c, r)));
                out << buf << "\n";
                continue;
            }
            const std::string text = table.GetDataAsText(c, r);
            const size_t width = static_cast<size_t>(table.ColumnGetWidth(c));
            const size_t pos = h.RecSize > 0 ? 12 + (size_t(r) + size_t(c) * h.RowCount) * h.RecSize
                                             : 12 + 139 * size_t(h.ColCount) + size_t(r) * width;
            const bool padded = raw.size() >= pos + width &&
                                raw.find_first_not_of('\0', pos + text.size()) >= pos + width;
            out << Cp1251ToUtf8(text) << (padded ? "" : " <not zero-padded>") << "\n";
        }
    }
    return out.str();
}

struct TRunResult
{
    int status = -1;
    std::string console;
    std::string messages;
};

TRunResult RunRankfold(const std::vector<std::string>& args, const std::vector<std::string>& env)
{
    int fds[2];
    EXPECT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds), 0);
    TSpawnOptions options;
    options.argv = {"/usr/bin/env", "LC_ALL=C"};
    options.argv.insert(options.argv.end(), env.begin(), env.end());
    options.argv.push_back(JoinPath(ProgramDir(), "rankfold"));
    options.argv.insert(options.argv.end(), args.begin(), args.end());
    options.pipeStdin = false;
    options.passFd = fds[1];
    TRunResult result;
    TChildProcess child;
    std::string error;
    const bool started = child.Start(options, error);
    ::close(fds[1]);
    EXPECT_TRUE(started) << error;
    std::thread server([&] {
        TSyncMessage m;
        while (ReadSyncMessage(fds[0], m)) {
            result.messages += std::to_string(m.msg) + " " + std::to_string(m.wParam) + " " +
                               std::to_string(m.lParam) + "\n";
            ReplySyncMessage(fds[0]);
        }
    });
    if (started) {
        EXPECT_EQ(ExchangeWithChild(child, "", result.console, std::chrono::seconds(60)),
                  TExchangeResult::Ok);
        result.status = child.Wait();
    }
    server.join();
    ::close(fds[0]);
    return result;
}

} // namespace

class RankfoldGoldenTest : public ::testing::TestWithParam<std::string>
{
};

TEST_P(RankfoldGoldenTest, Case)
{
    const fs::path dir = fs::path(RANKFOLD_CASES_DIR) / GetParam();
    TTempDir tmp;
    const std::string in = tmp.File("in.bin");
    const std::string out = tmp.File("out.bin");
    auto substitute = [&](std::string text) {
        ReplaceAll(text, "$IN", in);
        ReplaceAll(text, "$OUT", out);
        ReplaceAll(text, "$DIR", tmp.Path());
        ReplaceAll(text, "$NPROC",
                   std::to_string(std::max(1u, std::thread::hardware_concurrency())));
        return text;
    };

    if (fs::exists(dir / "input.txt")) {
        WriteInputTable(ReadText(dir / "input.txt"), in);
        if (fs::exists(dir / "truncate"))
            fs::resize_file(in, std::stoull(ReadText(dir / "truncate")));
    }
    std::vector<std::string> args;
    for (const std::string& a : Split(Trimmed(ReadText(dir / "args")), ' '))
        args.push_back(substitute(a));
    const TRunResult run = RunRankfold(args, Split(Trimmed(ReadText(dir / "env")), '\n'));

    std::string console = run.console;
    ReplaceAll(console, "\r", "\\r\n");
    EXPECT_EQ(console, substitute(ReadText(dir / "stdout")));
    EXPECT_EQ(run.status, std::stoi(ReadText(dir / "exitcode")));
    EXPECT_EQ(run.messages, ReadText(dir / "messages"));
    if (fs::exists(dir / "expected.txt")) {
        ASSERT_TRUE(fs::exists(out));
        EXPECT_EQ(DumpTable(out), ReadText(dir / "expected.txt"));
    } else {
        EXPECT_FALSE(fs::exists(out));
    }
}

std::vector<std::string> CaseNames()
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(RANKFOLD_CASES_DIR))
        if (entry.is_directory())
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

INSTANTIATE_TEST_SUITE_P(Cases, RankfoldGoldenTest, ::testing::ValuesIn(CaseNames()),
                         [](const auto& info) { return info.param; });
