#!/usr/bin/python3
"""Times scikit-learn's TfidfVectorizer on documents of blank-separated words, one a line.

usage: sklearn_tfidf.py DOCUMENTS.txt [--repeat R]
Counting only: the documents are read into memory before the clock starts.
"""
import statistics
import sys
import time

from sklearn.feature_extraction.text import TfidfVectorizer


def main():
    path = sys.argv[1]
    repeat = int(sys.argv[sys.argv.index("--repeat") + 1]) if "--repeat" in sys.argv else 3
    with open(path, encoding="utf-8") as f:
        docs = f.read().splitlines()
    times = []
    cpu = []
    for _ in range(repeat):
        start = time.perf_counter()
        start_cpu = time.process_time()
        matrix = TfidfVectorizer(token_pattern=r"\S+").fit_transform(docs)
        times.append(time.perf_counter() - start)
        cpu.append(time.process_time() - start_cpu)
        words = matrix.shape[1]
        del matrix
    print("TfidfVectorizer: %d documents, %d distinct words, median %.2f s of %s"
          " (processor time: median %.2f s)"
          % (len(docs), words, statistics.median(times), " ".join("%.2f" % t for t in times),
             statistics.median(cpu)))
    print("median_sklearn=%.3f" % statistics.median(times))
    print("cpu_sklearn=%.3f" % statistics.median(cpu))


if __name__ == "__main__":
    main()
