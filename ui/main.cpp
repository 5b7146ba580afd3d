// Quenmar: renames the dated data files inside a ZIP archive.
#include "ui/application.h"
#include "ui/form_quenmar.h"
#include "ui/glyphs.h"

int main(int argc, char** argv) {
  quenmar::TApplication app(argc, argv);
  app.setWindowIcon(quenmar::ApplicationIcon());
  quenmar::TForm_Quenmar form;
  form.show();
  return app.exec();
}
