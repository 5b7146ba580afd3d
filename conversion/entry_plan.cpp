#include "conversion/entry_plan.h"

#include "archive/entry_path.h"
#include "conversion/entry_name_rule.h"
#include "support/exceptions.h"

namespace quenmar {
namespace {

// The new entry must be a plain file name wherever the archive is unpacked.
void CheckNewName(const Text& newName) {
  if (newName.empty() || newName.find_first_of(u"/\\:") != Text::npos) {
    throw EArgumentException(u"Invalid new entry name \"" + newName + u"\"");
  }
}

}  // namespace

EntryPlan PlanEntry(TZipFile& reader, int index, Text& name) {
  name = reader.EntryName(index);
  name = reader.ExtractionName(index);
  CheckEntryName(name);
  EntryPlan plan;
  plan.name = name;
  plan.newName = ConvertEntryName(name);
  CheckNewName(plan.newName);
  return plan;
}

}  // namespace quenmar
