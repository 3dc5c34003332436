#pragma once
// Reorders a PLT job's commands by pen, in the order of the cut strategy's colour rows.
#include <string>
#include <vector>

#include "notice.h"
#include "records.h"

// Rewrites text: one bucket per row headed "SP<pen>;\r\n", the enabled buckets joined
// in row order, then "SP0;\n". Commands (each up to its ";") go to the bucket of the pen
// in force, each on a line of its own; a file with one command per line keeps its lines
// as they were. With no rows the text stays as it is.
void RegroupByPen(std::string& text, const std::vector<SHARPCOLORS>& rows, INotice& notice);
