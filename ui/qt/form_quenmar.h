// TForm_Quenmar: the program's one window, in Qt. The user names an archive in the
// path box (proposed at start from the program's own folder, or chosen through the
// browse button), presses Start, and the conversion run works through the
// window's six operations. The controls are made from the layout table
// (ui/main_window_layout.h); what the handlers do is ui/main_window_behaviour.h.
// This class draws and dispatches.
//
// The window opens centred on its screen, the window manager's frame included,
// with the focus on the first control of the tab order that can take it.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <array>

#include "ui/main_window_behaviour.h"
#include "ui/main_window_layout.h"
#include "ui/qt/file_dialog.h"
#include "ui/qt/gauge.h"

namespace quenmar {

class TForm_Quenmar : public QDialog, public MainWindowControls {
  Q_OBJECT

 public:
  // ProgramFolder is where start-up looks for an archive to propose; empty for
  // the folder of the running executable.
  // GivenPaths: the archives the program was started with (WindowCreated).
  explicit TForm_Quenmar(const Text& programFolder = Text(), const std::vector<Text>& givenPaths = {},
                         QWidget* parent = nullptr);

  // The control of Role, and the same typed by its kind: Button for the buttons,
  // Edit for the path box and the status line.
  QWidget* Control(ControlRole role) const;
  QPushButton* Button(ControlRole role) const;
  QLineEdit* Edit(ControlRole role) const;
  TGauge* Gauge() const;

  // How Browse runs its dialog; modally (RunModally) unless a test scripts it.
  void SetDialogRunner(DialogRunner runner);

  // The controls as the shared behaviour sees them.
  void SetStartEnabled(bool enabled) override;
  void SetInputPath(const Text& text) override;
  bool ChooseFiles(TextView filter, bool mustExist, TextView title, TextView proposal,
                   std::vector<Text>& fileNames) override;
  void FocusStart() override;
  void ShowOutcome(Outcome outcome) override;
  void SetGaugeVisible(bool visible) override;
  void SetGaugeProgress(int progress) override;
  void SetStatus(const Text& text) override;
  Text InputPath() override;
  void ProcessMessages() override;
  void SetStatusTooltip(const Text& text) override;
  void ShowInFolder(const Text& folder, const std::vector<Text>& files) override;
  void WaitForEvents() override;
  void Wake() override;
  void Close() override;
  void SetInputsLocked(bool locked) override;

  // Escape, as Zrušit: stops a run, or else closes the window.
  void reject() override;

 protected:
  // Files dropped anywhere on the window (ArchivesDropped).
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void changeEvent(QEvent* event) override;
  // Closed at once without a run; during one, once the run has stopped.
  void closeEvent(QCloseEvent* event) override;
  // A double-click, or Enter, on the status line (StatusActivated).
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void MakeControls();
  void ConnectHandlers();
  // Centred on its screen, the frame of the window manager included.
  QPoint CentredPosition() const;
  void CentreOnScreen();
  void KeepCentredWhileTheFrameSettles();

  std::array<QWidget*, kControlCount> controls_{};
  DialogRunner dialogRunner_ = RunModally;
  bool shownOnce_ = false;
  QElapsedTimer shownAt_;  // since the window first appeared
};

// Where the information page lies: where it is installed with the program, or else
// a temporary copy of the page built into the program (removed at exit).
QString InfoPagePath();

}  // namespace quenmar
