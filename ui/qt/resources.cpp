#include "ui/qt/resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE names a function at global scope.
static void RegisterResources() {
  Q_INIT_RESOURCE(quenmar);
  Q_INIT_RESOURCE(quenmar_translations);
}

namespace quenmar {

void InitUiResources() {
  static const bool registered = (RegisterResources(), true);
  (void)registered;
}

}  // namespace quenmar
