// mystem: the Russian morphological analyser that the lemmatization stage starts as a child.
// Reads a text from standard input up to the byte 0x1A (or the end of input) and writes every
// word with its lemmas in braces to standard output. Flags: -c, -l, -w, -e ENCODING.
#include "outside/mystem/annotator.h"
#include "outside/mystem/lexicon.h"
#include "platform/appdirs.h"
#include "platform/codepage.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr char kEndOfText = '\x1A';

// Reads standard input up to the end mark without waiting for more once it has come.
std::string ReadInput()
{
    std::string text;
    char buf[65536];
    while (true) {
        const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return text;
        const auto* mark =
            static_cast<const char*>(std::memchr(buf, kEndOfText, static_cast<size_t>(n)));
        text.append(buf, mark ? static_cast<size_t>(mark - buf) : static_cast<size_t>(n));
        if (mark)
            return text;
    }
}

bool WriteAll(std::string_view data)
{
    while (!data.empty()) {
        const ssize_t n = ::write(STDOUT_FILENO, data.data(), data.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    using namespace corvane;
    const mystem::TAnnotateOptions options = mystem::ParseAnnotateOptions({argv + 1, argv + argc});
    mystem::TLexicon lexicon;
    if (!lexicon.Open(ProgramDir() + mystem::kLexiconFileName)) {
        const std::string message = "mystem: " + lexicon.LastError() + "\n";
        ::write(STDERR_FILENO, message.data(), message.size());
        return 2;
    }
    const std::string input = ReadInput();
    const mystem::TWordAnalyser analyser(lexicon);
    const std::string output =
        mystem::Annotate(analyser, options.utf8 ? Utf8ToCp1251(input) : input, options);
    return WriteAll(options.utf8 ? Cp1251ToUtf8(output) : output) ? 0 : 1;
}
