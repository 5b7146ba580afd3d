// A whole run of the program along one path, for a test that looks at how it ends:
// Browse is pressed, the folder that was current vanishes while the dialog is
// open, the error report appears and is closed, and then the window is closed. The
// program must then end normally, with 0.
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTimer>

#include "ui/qt/application.h"
#include "ui/qt/form_quenmar.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  quenmar::TApplication app(argc, argv);
  quenmar::TForm_Quenmar& form = app.MainWindow();
  form.show();

  auto* vanishing = new QTemporaryDir;
  if (!vanishing->isValid() || ::chdir(vanishing->path().toLocal8Bit().constData()) != 0) return 3;
  form.SetDialogRunner([&](QFileDialog&) {
    delete vanishing;  // removes the folder that is still current
    return int(QDialog::Rejected);
  });
  // Pressed from the event loop, so that the error reaches the application's report.
  QTimer::singleShot(0, form.Button(quenmar::ControlRole::kBrowse), &QPushButton::click);
  // The user closes the report, then the window.
  QTimer::singleShot(300, [] {
    if (QWidget* box = QApplication::activeModalWidget()) box->close();
  });
  QTimer::singleShot(600, &form, &QWidget::close);
  return app.exec();
}
