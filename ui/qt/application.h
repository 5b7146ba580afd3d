// The application object: its title, icon and Czech texts, its tooltip timing, and
// the report of an error that escapes a handler (a message box; the program then
// goes on).
#pragma once

#include <QApplication>

#include "support/text.h"

namespace quenmar {

// Qt's own texts (the file dialog, the message box) in Czech, like the window:
// from the copy built into the program, else from Qt's installed translations.
void InstallCzechTexts(QCoreApplication& app);

class TApplication : public QApplication {
  Q_OBJECT

 public:
  TApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;

  // Shows the message box of an error that escaped a handler.
  static void ShowError(const QString& message);
};

}  // namespace quenmar
