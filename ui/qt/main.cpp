// Quenmar: renames the dated data files inside a ZIP archive.
#include "ui/qt/application.h"
#include "ui/qt/form_quenmar.h"

#include <QStringList>
#include <vector>

int main(int argc, char** argv) {
  quenmar::TApplication app(argc, argv);
  // Archives given to the program ("Open with", a drop on its icon); Qt's own
  // options are gone from the list by now.
  std::vector<quenmar::Text> given;
  const QStringList arguments = QCoreApplication::arguments();
  for (qsizetype i = 1; i < arguments.size(); ++i) given.push_back(arguments[i].toStdU16String());
  app.MainWindow(given).show();
  return app.exec();
}
