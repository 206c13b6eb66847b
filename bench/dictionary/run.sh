#!/usr/bin/env bash
# Dictionary stage benchmark: a synthetic lemmatized corpus of 1,000,000 documents of ~100 words
# over a Zipf vocabulary of 200,000 words, the dictionary stage with 1 and 2 threads, stop-word
# removal with 500 words, and scikit-learn's TfidfVectorizer on the same documents.
#   bench/dictionary/run.sh [DATA_DIR]   (default /tmp/corvane-bench-dictionary; REPEAT=3)
# The corpus is generated once and kept in DATA_DIR (about 2 GB; the outputs take 3 GB more).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
data=${1:-/tmp/corvane-bench-dictionary}
repeat=${REPEAT:-3}

"$root/scripts/setup.sh" --bench
if [[ ! -f "$root/build/build.ninja" ]]; then
    cmake -S "$root" -B "$root/build" -G Ninja >/dev/null
fi
cmake --build "$root/build" --target bench_dictionary >/dev/null
bin=$root/build/bin/bench_dictionary

[[ -f "$data/lemmatized.cvlda" ]] || "$bin" generate "$data"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) processors"
"$bin" run "$data" --repeat "$repeat" | tee "$data/corvane.txt"
/usr/bin/python3 "$root/bench/dictionary/sklearn_tfidf.py" "$data/documents.txt" \
    --repeat "$repeat" | tee "$data/sklearn.txt"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"

value() { sed -n "s/^$1=//p" "$2"; }
awk -v one="$(value median_dictionary_1 "$data/corvane.txt")" \
    -v two="$(value median_dictionary_2 "$data/corvane.txt")" \
    -v sk="$(value median_sklearn "$data/sklearn.txt")" \
    -v cpu1="$(value cpu_dictionary_1 "$data/corvane.txt")" \
    -v cpusk="$(value cpu_sklearn "$data/sklearn.txt")" 'BEGIN {
    printf "TfidfVectorizer / dictionary stage: %.1fx (1 thread), %.1fx (2 threads);", sk / one,
        sk / two
    printf " processor time, 1 thread: %.1fx\n", cpusk / cpu1
}'
