// rankfold: sorts the value columns of a column table file, one sorted list per column.
//   rankfold THREADS TASK INPUT WORDCOL OUTPUT WINDOW
#include "tools/rankfold/rankfold.h"

int main(int argc, char** argv)
{
    corvane::TRankFold run;
    return run.Run(argc, argv);
}
