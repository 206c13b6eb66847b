// rankfold: sorts the value columns of a column table file, one sorted list per column.
//   rankfold THREADS TASK INPUT WORDCOL OUTPUT WINDOW
#include "tools/rankfold/rankfold.h"

#include <cstdlib>
#include <unistd.h>

int main(int argc, char** argv)
{
    // The OpenMP runtime reads its wait policy once, as it loads, and by default its idle
    // workers spin between the formatting loops on the cores the sort threads need. Unless the
    // caller chose a policy, start again with passive waiting (same process, same descriptors).
    if (!std::getenv("OMP_WAIT_POLICY") && ::setenv("OMP_WAIT_POLICY", "PASSIVE", 1) == 0)
        ::execv("/proc/self/exe", argv);

    corvane::TRankFold run;
    return run.Run(argc, argv);
}
