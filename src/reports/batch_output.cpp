#include "reports/batch_output.h"

#include "reports/delimited_output.h"
#include "reports/json_output.h"
#include "reports/text_output.h"

namespace quelvaris {

std::unique_ptr<BatchOutput> MakeBatchOutput(const OutputSetup& setup) {
  switch (setup.format) {
    case OutputFormat::Tsv:
      return std::make_unique<DelimitedOutput>(setup, '\t');
    case OutputFormat::Csv:
      return std::make_unique<DelimitedOutput>(setup, ',');
    case OutputFormat::Json:
      return std::make_unique<JsonOutput>(setup);
    case OutputFormat::Text:
      break;
  }
  return std::make_unique<TextOutput>(setup);
}

}  // namespace quelvaris
