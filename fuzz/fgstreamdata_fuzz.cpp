// Opens the input as a column table and reads cells of every column.
#include "tables/fgstreamdata.h"

#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = "/tmp/fuzz_fgstreamdata_" + std::to_string(getpid()) + ".bin";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data), size);
    corvane::TFGStreamData table;
    if (table.OpenDataFile(path, true)) {
        for (int32_t c = 0; c < table.ColCount() && c < 32; ++c) {
            for (int32_t r = 0; r < table.RowCount() && r < 32; ++r)
                table.GetDataVisible(c, r);
            std::vector<int32_t> ints(16);
            table.GetColumnAsInt(c, ints);
            table.GetColByName(table.ColumnGetName(c));
        }
    }
    unlink(path.c_str());
    return 0;
}
