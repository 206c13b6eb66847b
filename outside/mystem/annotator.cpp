#include "outside/mystem/annotator.h"

#include "platform/codepage.h"

#include <strings.h>

namespace corvane::mystem {
namespace {

bool IsLetter(std::string_view text, size_t i)
{
    return i < text.size() && IsLetterCp1251(static_cast<unsigned char>(text[i]));
}

bool IsUtf8Name(const std::string& name)
{
    return strcasecmp(name.c_str(), "utf-8") == 0 || strcasecmp(name.c_str(), "utf8") == 0;
}

} // namespace

TAnnotateOptions ParseAnnotateOptions(const std::vector<std::string>& args)
{
    TAnnotateOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 2 || arg[0] != '-' || arg[1] == '-')
            continue;
        for (size_t j = 1; j < arg.size(); ++j) {
            const char flag = arg[j];
            if (flag == 'c') {
                options.copyText = true;
            } else if (flag == 'l') {
                options.lemmasOnly = true;
            } else if (flag == 'w') {
                options.dictionaryOnly = true;
            } else if (flag == 'e') {
                const std::string name =
                    j + 1 < arg.size() ? arg.substr(j + 1) : (i + 1 < args.size() ? args[++i] : "");
                options.utf8 = IsUtf8Name(name);
                break;
            }
        }
    }
    return options;
}

std::string Annotate(const TWordAnalyser& analyser, std::string_view text,
                     const TAnnotateOptions& options)
{
    std::string out;
    out.reserve(text.size() * 3);
    size_t i = 0;
    while (i < text.size()) {
        if (!IsLetter(text, i)) {
            const size_t start = i;
            while (i < text.size() && !IsLetter(text, i))
                ++i;
            if (options.copyText)
                out.append(text, start, i - start);
            continue;
        }
        const size_t start = i;
        while (IsLetter(text, i) || (i < text.size() && text[i] == '-' && IsLetter(text, i + 1)))
            ++i;
        const std::string_view word = text.substr(start, i - start);
        const TWordLemmas result = analyser.Analyse(word);
        if (result.guessed && options.dictionaryOnly) {
            if (options.copyText)
                out.append(word);
            continue;
        }
        if (!options.lemmasOnly)
            out.append(word);
        out += '{';
        for (size_t k = 0; k < result.lemmas.size(); ++k) {
            if (k)
                out += '|';
            out += result.lemmas[k];
        }
        if (result.guessed)
            out += '?';
        out += '}';
        if (!options.copyText)
            out += '\n';
    }
    return out;
}

} // namespace corvane::mystem
