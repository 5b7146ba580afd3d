// Shows the main window on the display at hand and, once the window manager has
// put its frame around it, prints where the frame stands and the screen's size:
// "FRAME_X FRAME_Y FRAME_W FRAME_H SCREEN_X SCREEN_Y SCREEN_W SCREEN_H".
#include <cstdio>

#include <QApplication>
#include <QElapsedTimer>
#include <QScreen>

#include "ui/qt/application.h"
#include "ui/qt/form_quenmar.h"

int main(int argc, char** argv) {
  quenmar::TApplication app(argc, argv);
  quenmar::TForm_Quenmar& form = app.MainWindow();
  form.show();
  QElapsedTimer waited;
  waited.start();
  while (waited.elapsed() < 1500) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  const QRect frame = form.frameGeometry(), screen = form.screen()->geometry();
  std::printf("%d %d %d %d %d %d %d %d\n", frame.x(), frame.y(), frame.width(), frame.height(), screen.x(), screen.y(),
              screen.width(), screen.height());
  return 0;
}
