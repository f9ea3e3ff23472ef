// replace_list with names and values split at "|", on any GBK text.
//
// Input: a flag byte (match case), then the text, the names and the values as pieces.
#include <cstddef>
#include <cstdint>
#include <string>

#include "collect/output_records.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "text/text_ops.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vd::fuzz::FuzzInput input(data, size);
  const bool match_case = input.flag();
  const std::string_view text = input.piece();
  const std::string_view names = input.piece();
  const std::string_view values = input.rest();

  (void)vd::replace_list(text, names, values, match_case);

  // Every name replaced by itself leaves the text as it was, when no name is one byte long (those drop a
  // lone lead byte at the end).
  bool long_names = true;
  for (const std::string& name : vd::split_at(names, "|")) long_names = long_names && name.size() != 1;
  if (long_names) VD_FUZZ_CHECK(vd::replace_list(text, names, names, true) == text);
  return 0;
}
