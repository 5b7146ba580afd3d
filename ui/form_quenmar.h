// TForm_Quenmar: the program's one window. The user names an archive in the path
// box (proposed at start from the program's own folder, or chosen through the
// browse button), presses Start, and the conversion run works through the
// window's six operations: the Start button, the gauge, the status line, the path
// box and one pass of the event loop.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "conversion/conversion_window.h"
#include "ui/gauge.h"

namespace quenmar {

class TForm_Quenmar : public QDialog, public ConversionWindow {
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

  // The conversion run's window.
  void DisableStart() override;
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
  void SetStartEnabled(bool enabled);
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

// Where the information page lies: beside the program, where it is installed, or
// else a temporary copy of the page built into the program (removed at exit).
QString InfoPagePath();

}  // namespace quenmar
