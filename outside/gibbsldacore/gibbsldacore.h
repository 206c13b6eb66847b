#pragma once

// The LDA engine: collapsed Gibbs sampling for latent Dirichlet allocation with symmetric
// priors, behind one C entry point that the program loads at run time.
//
// Sampler. Each token draws its topic from the exact collapsed conditional
//     p(k) ~ (n_dk + alpha) (n_wk + beta) / (n_k + V beta),
// split into three buckets the way sparse samplers do:
//     s = alpha beta / (n_k + V beta)          summed over all topics, kept up to date in O(1),
//     r = n_dk beta / (n_k + V beta)           over the document's topics, kept up to date in O(1),
//     q = (alpha + n_dk) n_wk / (n_k + V beta) over the word's topics, summed per token.
// Almost all of the mass sits in q, whose length is the number of topics the word has, a
// handful once the sampler has settled, so a token costs a few dozen operations instead of K.
// Word-topic counts are packed (count << topic bits | topic) in one flat array, unsorted but with
// heavy topics drifting to the front of each word's entries, so that finding an entry and
// drawing from the word bucket usually take a step or two; document-topic counts are packed the
// same way. The token is taken out of the sums in registers, and a draw that keeps its topic
// (most draws, once settled) only puts its word count back. We chose this over
// Metropolis-Hastings samplers with alias tables, which cost O(1) per token but mix more slowly
// per sweep: the quality reached in a given number of sweeps matters as much as the speed.
//
// Threads. The vocabulary is split into P parts of equal token mass and the documents into P
// chunks. A sweep runs in P stages; in stage s, task c samples the tokens of chunk c whose words
// lie in part (c + s) mod P, so within a stage no two tasks touch the same document or word and
// the inner loop takes no lock. Only the topic totals n_k are shared: each task works on its own
// copy, and the copies' changes are summed after every stage. P is the smallest multiple of the
// thread count that is at least 4, so that two threads share four tasks a stage as they finish
// them. Each chunk has its own random generator and the totals are merged as integers, so a
// fixed seed gives bit-identical results for a given P: the same for one, two and four threads,
// and for any one thread count. The seed is fixed; the environment variable CORVANE_LDA_SEED (an
// unsigned integer) replaces it.
//
// Topic moves. Moving one token at a time, the sampler can settle where one topic holds two
// themes found in different documents while another theme is shared by two topics; it would
// have to move a whole theme at once to get out. Plain runs (no fixed words, 3 to 1024 topics)
// therefore follow sweeps 40, 60, 80 and 100, when 20 or more sweeps come after, with a round of
// topic-level moves (topicmoves.h): every topic is split in two along its documents and every
// pair of topics merged, each scored by the exact change of the collapsed log posterior; a
// split worth at least 0.1 nats per token of its topic is made together with the merge that
// frees a topic for it, when the two together raise the posterior. Decisions are serial and
// seeded. After sweep 100 the chain is plain collapsed Gibbs sampling.
//
// Fixed topics. Every occurrence of a word named in a TFixedTopics record may only take the
// topics listed for it (the union over all records of that word); -1 and numbers outside
// 0..K-1 are ignored, and a record left with no topic fixes nothing.
//
// Granulated sampling (granlda = 1, window w = granwnd in 1..50). Each sweep cuts every
// document into granules in its word order: pick a position uniformly among those not yet
// covered in this sweep, draw its topic from its collapsed conditional, and give that topic to
// every uncovered position p' with |p' - p| <= w; repeat until every position is covered. A
// fixed word at the centre draws among its own topics; a fixed word in the window whose topics
// exclude the drawn one is left uncovered and gets a granule of its own later. Granules span
// words of every part, so this mode splits the work by documents instead: within a stage the
// word-topic counts are read as they were at the start of the stage, and each task's word
// changes are applied when the stage ends.
//
// Reports. After every savestep-th sweep and after the last one (savestep < 1: only the
// last), the engine sends WM_LDADATAREADY twice through the window, synchronously: kind 1 with
// M pointers to K doubles theta[d][k] = (n_dk + alpha) / (n_d + K alpha), then kind 2 with K
// pointers to V doubles phi[k][w] = (n_kw + beta) / (n_k + V beta); wParam = kind | sweep << 8.
// The matrices are valid only while the message is handled.
//
// Result: 0 completed, 1 stopped through the stop event (polled every 10 ms; the sampler
// checks between documents), negative on error: GIBBSLDA_ERROR_ARGUMENTS when K, niters, M or
// V is below 1, alpha or beta is not a positive number, a length is negative, an array is
// missing, a word index lies outside 0..V-1, the fixed-word count is negative, or granulated
// sampling has a window outside 1..50; GIBBSLDA_ERROR_MEMORY when memory runs out or the
// reports (M x K and K x V doubles) could never fit in the machine's memory.

#include <stdint.h>

#ifdef __cplusplus
#define GIBBSLDA_EXTERN extern "C"
#else
#define GIBBSLDA_EXTERN
#endif
#define GIBBSLDA_API GIBBSLDA_EXTERN __attribute__((visibility("default")))

/// The report message the engine sends through its window.
#define WM_LDADATAREADY 1434u

/// Report kinds, in bits 0-7 of wParam.
#define GIBBSLDA_KIND_THETA 1u
#define GIBBSLDA_KIND_PHI 2u

/// File version of this engine, packed as major << 48 | minor << 32 | release << 16 | build.
#define GIBBSLDA_VERSION ((uint64_t)2 << 48 | (uint64_t)0 << 32 | (uint64_t)0 << 16 | 1u)

/// Negative results of gibbsldaCalc.
#define GIBBSLDA_ERROR_ARGUMENTS (-20)
#define GIBBSLDA_ERROR_MEMORY (-21)
#define GIBBSLDA_ERROR_INTERNAL (-22)

/// Stands in for the main window: delivers (message, wParam, lParam) and returns only when the
/// receiver has handled it.
typedef struct TLdaWindow
{
    void* context;
    intptr_t (*send)(void* context, uint32_t message, uintptr_t wParam, intptr_t lParam);
} TLdaWindow;

/// Stands in for an auto-reset event: poll returns nonzero when the event was signalled and
/// clears it.
typedef struct TLdaStopEvent
{
    void* context;
    int32_t (*poll)(void* context);
} TLdaStopEvent;

/// A word (word-map index) tied to up to five topics (zero-based; -1 for none).
typedef struct TFixedTopics
{
    int32_t word;
    int32_t topics[5];
} TFixedTopics;

/// Runs the sampler; see the notes above. `window` and `stopEvent` may be null (no reports, no
/// stop). All arrays stay owned by the caller. `twords` is accepted and unused.
GIBBSLDA_API int32_t gibbsldaCalc(const TLdaWindow* window, const TLdaStopEvent* stopEvent,
                                  int32_t threads, double alpha, double beta, int32_t K,
                                  int32_t niters, int32_t savestep, int32_t twords, int32_t M,
                                  int32_t V, const int32_t* lengths, const int32_t* const* docs,
                                  int32_t fixedCount, const TFixedTopics* fixed, int32_t granlda,
                                  int32_t granwnd);

/// The engine's file version (GIBBSLDA_VERSION); stands in for a version resource.
GIBBSLDA_API uint64_t gibbsldaVersion(void);

typedef int32_t (*TGibbsLdaCalc)(const TLdaWindow*, const TLdaStopEvent*, int32_t, double, double,
                                 int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                                 const int32_t*, const int32_t* const*, int32_t,
                                 const TFixedTopics*, int32_t, int32_t);
typedef uint64_t (*TGibbsLdaVersion)(void);
