#include "cli/demosample.h"

#include "platform/codepage.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace corvane::cli {
namespace fs = std::filesystem;
namespace {

std::string_view TrimLine(std::string_view line)
{
    const size_t first = line.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    return line.substr(first, line.find_last_not_of(" \t\r\n") - first + 1);
}

/// The author of an attribution line, which is indented and starts with "-- "; nothing for
/// any other line (a dialogue line also starts with a dash, but not indented).
bool AuthorOf(std::string_view line, std::string& author)
{
    if (line.empty() || (line[0] != ' ' && line[0] != '\t'))
        return false;
    const std::string_view trimmed = TrimLine(line);
    if (!trimmed.starts_with("-- "))
        return false;
    author = TrimLine(trimmed.substr(3));
    return true;
}

/// Makes a quote of its lines and adds it when it has text.
void AddQuote(const std::vector<std::string>& lines, const std::string& source,
              std::vector<TQuote>& quotes)
{
    TQuote quote;
    quote.source = source;
    size_t end = lines.size();
    for (size_t i = lines.size(); i-- > 0;) {
        if (AuthorOf(lines[i], quote.author)) {
            end = i;
            break;
        }
    }
    for (size_t i = 0; i < end; ++i)
        quote.text += lines[i] + "\n";
    if (!TrimLine(quote.text).empty())
        quotes.push_back(std::move(quote));
}

/// A metadata.csv field: its separators become blanks.
std::string CsvField(const std::string& text)
{
    std::string field = Utf8ToCp1251(text);
    std::replace_if(
        field.begin(), field.end(), [](char c) { return c == ',' || c == ';'; }, ' ');
    return field;
}

} // namespace

std::vector<TQuote> ReadFortunes(const std::string& folder, size_t limit)
{
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        if (entry.path().extension() == ".u8" && entry.is_regular_file(ec))
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());

    std::vector<TQuote> quotes;
    for (const fs::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::string source = file.stem().string();
        std::vector<std::string> lines;
        for (std::string line; quotes.size() < limit && std::getline(in, line);) {
            if (TrimLine(line) == "%") {
                AddQuote(lines, source, quotes);
                lines.clear();
            } else {
                lines.push_back(line);
            }
        }
        if (quotes.size() < limit)
            AddQuote(lines, source, quotes);
        if (quotes.size() >= limit)
            break;
    }
    quotes.resize(std::min(quotes.size(), limit));
    return quotes;
}

bool WriteSampleTexts(const std::vector<TQuote>& quotes, const std::string& folder,
                      std::string& error)
{
    std::error_code ec;
    fs::create_directories(folder, ec);
    const size_t digits = std::max<size_t>(5, std::to_string(quotes.size()).size());
    std::string metadata;
    for (size_t i = 0; i < quotes.size(); ++i) {
        std::string name = std::to_string(i);
        name.insert(0, digits - name.size(), '0');
        std::ofstream out(fs::path(folder) / (name + ".txt"), std::ios::binary | std::ios::trunc);
        out << quotes[i].text;
        if (!out.flush()) {
            error = "cannot write " + (fs::path(folder) / (name + ".txt")).string();
            return false;
        }
        // The empty last field keeps the source: the last field of a line is never stored.
        metadata +=
            name + ";" + CsvField(quotes[i].author) + ";" + CsvField(quotes[i].source) + ";\r\n";
    }
    std::ofstream csv(fs::path(folder) / "metadata.csv", std::ios::binary | std::ios::trunc);
    csv << metadata;
    if (!csv.flush()) {
        error = "cannot write " + (fs::path(folder) / "metadata.csv").string();
        return false;
    }
    return true;
}

} // namespace corvane::cli
