#pragma once

#include <string>

#include "engine/batch_reader.h"

namespace quelvaris {

// Decides which column of a batch table is what, from the options and the header's names:
// sets the index column, the time, observed and model columns. `shown` is the file as messages
// name it. A name the header lacks or a number beyond the columns raises BatchReadError.
void ChooseColumns(const std::string& shown, const BatchReaderOptions& options, BatchTable& table);

}  // namespace quelvaris
