// Quenmar: renames the dated data files inside a ZIP archive.
#include "ui/qt/application.h"
#include "ui/qt/form_quenmar.h"

int main(int argc, char** argv) {
  quenmar::TApplication app(argc, argv);
  quenmar::TForm_Quenmar form;
  form.show();
  return app.exec();
}
