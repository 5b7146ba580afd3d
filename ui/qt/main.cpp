// Quenmar: renames the dated data files inside a ZIP archive.
#include "ui/qt/application.h"
#include "ui/qt/form_quenmar.h"

int main(int argc, char** argv) {
  quenmar::TApplication app(argc, argv);
  app.MainWindow().show();
  return app.exec();
}
