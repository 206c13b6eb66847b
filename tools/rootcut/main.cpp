// rootcut: reads English text and writes the Porter stem of every word in braces.
//   rootcut [-e CODEPAGE] [INPUT OUTPUT]
#include "tools/rootcut/arguments.h"
#include "tools/rootcut/rootcuterror.h"
#include "tools/rootcut/textcodec.h"
#include "tools/rootcut/textio.h"
#include "tools/rootcut/wordsplit.h"

#include <cstdio>
#include <new>
#include <string>
#include <vector>

namespace {

// The caller reads standard output only, so the one error line goes there.
int Fail(const std::string& className, const std::string& message)
{
    std::printf("%s: %s\n", className.c_str(), message.c_str());
    std::fflush(stdout);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    using namespace corvane;
    try {
        const TRootcutArgs args = ParseArguments(std::vector<std::string>(argv + 1, argv + argc));
        TLineReader reader(args.infile);
        TTextWriter writer(args.outfile);
        // Block by block, so memory stays small whatever the size of the input.
        std::string lines;
        std::string ansi;
        std::string stems;
        std::string utf8;
        while (reader.Next(lines)) {
            stems.clear();
            if (args.cp_utf8) {
                Utf8ToAnsi(lines, ansi);
                StemWords(ansi, stems);
                AnsiToUtf8(stems, utf8);
                writer.Write(utf8);
            } else {
                StemWords(lines, stems);
                writer.Write(stems);
            }
        }
        writer.Close();
        return 0;
    } catch (const TRootcutError& e) {
        return Fail(e.ClassName(), e.what());
    } catch (const std::bad_alloc&) {
        return Fail("EOutOfMemory", "Out of memory");
    }
}
