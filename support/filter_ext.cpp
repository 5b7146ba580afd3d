#include "support/filter_ext.h"

#include "support/file_names.h"

namespace quenmar {

bool ApplyFilterExt(Text& name, TextView filter, int filterIndex, TextView delimiters) {
  const Text original = name;
  const Text ext = FileExtOf(name, delimiters);
  Text base = ext.empty() ? name : SubText(name, 1, static_cast<long long>(name.size() - ext.size()));

  Text f(filter);
  for (long long i = 0; i < 2LL * filterIndex - 1; ++i) DeleteText(f, 1, FindSubText(u"|", f));
  DeleteText(f, 1, FindSubText(u".", f));
  long long end = FindSubText(u"|", f);
  if (end == 0) end = static_cast<long long>(f.size()) + 1;
  const Text extension = SubText(f, 1, end - 1);

  if (extension == u"*") {
    name = original;
    return false;
  }
  name = base + u"." + extension;
  return true;
}

}  // namespace quenmar
