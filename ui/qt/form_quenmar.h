// TForm_Quenmar: the program's one window, in Qt. The user names an archive in the
// path box (proposed at start from the program's own folder, or chosen through the
// browse button), presses Start, and the conversion run works through the
// window's six operations. What the handlers do is ui/main_window_behaviour.h;
// this class draws and dispatches.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/main_window_behaviour.h"
#include "ui/qt/gauge.h"

namespace quenmar {

class TForm_Quenmar : public QDialog, public MainWindowControls {
  Q_OBJECT

 public:
  // ProgramFolder is where start-up looks for an archive to propose; empty for
  // the folder of the running executable.
  explicit TForm_Quenmar(const Text& programFolder = Text(), QWidget* parent = nullptr);

  QPushButton* BB_Start;
  QPushButton* BB_Cancel;
  TGauge* Gauge;
  QLineEdit* E_Soubor;
  QPushButton* BB_Browse;
  QLineEdit* E_Stav;
  QPushButton* BB_Info;
  QLabel* L_OdstranArchivHovDB;
  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QLabel* Label4;

  // The controls as the shared behaviour sees them.
  void SetStartEnabled(bool enabled) override;
  void SetInputPath(const Text& text) override;
  bool ChooseFile(TextView filter, bool mustExist, TextView title, Text& fileName) override;
  void SetGaugeVisible(bool visible) override;
  void SetGaugeProgress(int progress) override;
  void SetStatus(const Text& text) override;
  Text InputPath() override;
  void ProcessMessages() override;

 public slots:
  void FormCreate();
  void BB_StartClick();
  void BB_CancelClick();
  void E_SouborChange();
  void BB_BrowseClick();
  void BB_InfoClick();

 protected:
  void showEvent(QShowEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // Centred on its screen, the frame of the window manager included.
  QPoint CentredPosition() const;
  void CentreOnScreen();
  void KeepCentredWhileTheFrameSettles();

  Text programFolder_;
  bool shownOnce_ = false;
  static constexpr int kSettleMilliseconds = 1000;
  QElapsedTimer shownAt_;  // since the window first appeared
};

extern TForm_Quenmar* Form_Quenmar;

// Where the information page lies: where it is installed with the program, or else
// a temporary copy of the page built into the program (removed at exit).
QString InfoPagePath();

}  // namespace quenmar
