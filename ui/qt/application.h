// The application object: its title, icon and Czech texts, its tooltip timing,
// the report of an error that escapes a handler (a message box; the program then
// goes on), and the main window, which it owns.
#pragma once

#include <QApplication>
#include <memory>
#include <vector>

#include "support/text.h"

namespace quenmar {

class TForm_Quenmar;

// Qt's own texts (the file dialog, the message box) in Czech, like the window:
// from the copy built into the program, else from Qt's installed translations.
void InstallCzechTexts(QCoreApplication& app);

class TApplication : public QApplication {
  Q_OBJECT

 public:
  TApplication(int& argc, char** argv);
  ~TApplication() override;
  bool notify(QObject* receiver, QEvent* event) override;

  // The program's main window, made on the first call with GivenPaths in its path
  // box, or else proposing an archive from the program's own folder; it goes
  // before the application does.
  TForm_Quenmar& MainWindow(const std::vector<Text>& givenPaths = {});

  // Shows the message box of an error that escaped a handler.
  static void ShowError(const QString& message);

 private:
  std::unique_ptr<TForm_Quenmar> mainWindow_;
};

}  // namespace quenmar
