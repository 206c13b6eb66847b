#pragma once

#include <string>
#include <string_view>

namespace corvane {

/// Reads the input file, or standard input when the name is empty, in blocks of whole lines,
/// up to the end or up to the byte 0x1A, whichever comes first. It never reads past 0x1A, so a
/// caller may keep the pipe open after it. Opening or reading failures throw TRootcutError
/// (EInOutError).
class TLineReader
{
public:
    explicit TLineReader(const std::string& infile);
    ~TLineReader();
    TLineReader(const TLineReader&) = delete;
    TLineReader& operator=(const TLineReader&) = delete;

    /// The next block of lines, each followed by one space in place of its line end (LF,
    /// CR LF or CR; the last line gets one too). False at the end of the text.
    bool Next(std::string& block);

private:
    // Reads one piece into m_Pending; false at the end of the text.
    bool ReadPiece();

    std::string m_Name;
    int m_Fd = -1;
    bool m_Owned = false;
    bool m_Ended = false;
    std::string m_Pending; // bytes read but not handed out: the start of an unfinished line
};

/// The output file, or standard output when the name is empty. The file is created (or
/// truncated) at the first write or at Close, so input that fails early leaves it alone.
/// Failures throw TRootcutError (EInOutError).
class TTextWriter
{
public:
    explicit TTextWriter(const std::string& outfile);
    ~TTextWriter();
    TTextWriter(const TTextWriter&) = delete;
    TTextWriter& operator=(const TTextWriter&) = delete;

    void Write(std::string_view text);
    /// Closes the file; some file systems report a failed write only here.
    void Close();

private:
    void Open();

    std::string m_Name;
    int m_Fd = -1;
    bool m_Owned = false;
};

} // namespace corvane
