#include "conversion/entry_plan.h"

#include <string>

#include "archive/entry_path.h"
#include "conversion/entry_failure.h"
#include "conversion/entry_name_rule.h"
#include "support/exceptions.h"
#include "support/shown_names.h"
#include "support/utf8.h"

namespace quenmar {
namespace {

constexpr size_t kMaxStoredNameBytes = 65535;  // what a record's 16-bit length can say

// The new entry must be a plain file name wherever the archive is unpacked, and
// one that its records can hold whole.
void CheckNewName(const Text& newName) {
  if (newName.empty() || newName.find_first_of(u"/\\:") != Text::npos) {
    throw EArgumentException(Text(kInvalidNewName) + u" \"" + newName + u"\"");
  }
  size_t bytes = 0;  // of its UTF-8 form, counted without making it
  for (size_t i = 0; i < newName.size(); ++i) {
    const char16_t c = newName[i];
    const bool pair = c >= 0xD800 && c <= 0xDBFF && i + 1 < newName.size() && newName[i + 1] >= 0xDC00 &&
                      newName[i + 1] <= 0xDFFF;
    bytes += c < 0x80 ? 1 : c < 0x800 ? 2 : pair ? 4 : 3;
    i += pair ? 1 : 0;
  }
  if (bytes > kMaxStoredNameBytes) {
    throw EArgumentException(Text(kNewNameTooLong) + u" (" + Utf8ToText(std::to_string(bytes)) +
                             u" bytes, at most 65535)");
  }
}

}  // namespace

EntryPlan PlanEntry(TZipFile& reader, int index) {
  EntryPlan plan;
  plan.name = reader.EntryName(index);
  NamingEntry(plan.name, [&] {
    plan.name = reader.ExtractionName(index);
    CheckEntryName(plan.name);
    // Refused on every platform as Windows refuses it: the output is meant to be
    // unpacked there, and one archive must not give two outcomes.
    if (HasCharForbiddenOnWindows(plan.name)) throw EArgumentException(kInvalidPathCharacters);
    plan.newName = ConvertEntryName(plan.name);
    CheckNewName(plan.newName);
  });
  return plan;
}

}  // namespace quenmar
