#include "cli/commands.h"

namespace corvane::cli {

const std::vector<TCommand>& Commands()
{
    static const std::vector<TCommand> commands = {
        {"info", "FILE.cvlda", "magic, document count, LDA section and word-map size", RunInfo},
        {"docs", "FILE.cvlda [--from ID] [--count N] [--lda]",
         "documents by id: texts, metadata fields, optionally their LDA word ids", RunDocs},
        {"wordmap", "FILE.cvlda", "the word map: id, frequency, word, TF-IDF", RunWordmap},
        {"table", "FILE.bin [--from ROW] [--count N] [--csv]",
         "a column table: header, columns and cells", RunTable},
        {"sort", "words|docs CONTAINER.cvlda",
         "sort the words or documents of every topic of the container's model tables; prints "
         "the sorted table's name",
         RunSort},
        {"topwords", "SORTED.bin [--count N]",
         "the first N entries (default 10) of every topic of a sorted table", RunTopwords},
        {"lemmatize",
         "--texts DIR --out FILE.cvlda [--lang ru|en] [--codepage utf|ansi] [--params \"...\"] "
         "[--trash FILE] [--jobs N]",
         "a folder of *.txt files to a new container: tags removed, words lemmatized", RunLemmatize},
        {"dictionary",
         "IN.cvlda [--out OUT.cvlda] [--threads N] [--freq-table FILE.bin] [--csv FILE.csv]",
         "word ids, LDA documents, frequencies and TF-IDF; optionally the word table and CSV",
         RunDictionary},
        {"stopwords", "IN.cvlda --out OUT.cvlda --list WORDS.txt [--threads N]",
         "a copy without the listed words (UTF-8 or Windows-1251 list, one a line)",
         RunStopwords},
        {"freqselect", "IN.cvlda [--low L] [--up U]",
         "words of frequency >= U and words of frequency <= L, one a line (a stop-word list)",
         RunFreqselect},
        {"lda",
         "CONTAINER.cvlda [--method lda|islda|granulate] [--topics 40] [--iterations 100] "
         "[--save-step 10] [--alpha 0,5] [--beta 0,1] [--threads N] [--window W] "
         "[--fixed FIXED.csv]",
         "an LDA model of a processed container; writes NAME_theta.bin and NAME_phi.bin beside "
         "it; Ctrl+C stops the run and keeps the tables of the last report",
         RunLda},
        {"demo", "[--out DIR]",
         "the whole road on 5,000 Russian quotes: texts, lemmatization, dictionary, stop words, "
         "LDA with 20 topics, sorted words; prints the top words of every topic",
         RunDemo},
    };
    return commands;
}

} // namespace corvane::cli
