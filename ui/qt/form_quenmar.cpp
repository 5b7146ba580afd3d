#include "ui/qt/form_quenmar.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QScreen>
#include <QTemporaryFile>
#include <QTimer>
#include <QUrl>
#include <QWindow>
#include <memory>

#include "support/platform/program.h"
#include "ui/qt/file_dialog.h"
#include "ui/qt/glyphs.h"
#include "ui/qt/resources.h"
#include "ui/qt/show_in_folder.h"

namespace quenmar {

namespace {

QString Q(const Text& text) { return QString::fromStdU16String(text); }

// kSystem is the application's font; kArial is Arial or, where it is missing,
// Liberation Sans, of the same metrics.
QFont FontFor(const FontDescription& wanted) {
  QFont font = wanted.face == FontFace::kSystem ? QApplication::font() : QFont();
  if (wanted.face == FontFace::kArial) font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
  font.setPixelSize(wanted.pixels);
  font.setBold(wanted.bold);
  return font;
}

// How long after the window first appeared a move counts as the window manager's.
constexpr int kSettleMilliseconds = 1000;

}  // namespace

QString InfoPagePath() {
  if (const auto installed = InstalledInfoPage(platform::ExecutablePath())) {
    return QFileInfo(Q(*installed)).canonicalFilePath();
  }
  // The program alone, copied next to the archives: the page built into it, in a
  // temporary file of its own that goes when the program ends.
  static QTemporaryFile* page = nullptr;
  if (page == nullptr) {
    InitUiResources();
    QFile builtIn(QStringLiteral(":/info/quenmar-info.html"));
    auto copy = std::make_unique<QTemporaryFile>(QDir::tempPath() + "/quenmar-info-XXXXXX.html", qApp);
    if (!builtIn.open(QIODevice::ReadOnly) || !copy->open() || copy->write(builtIn.readAll()) < 0 || !copy->flush()) {
      return QString();
    }
    page = copy.release();
  }
  return page->fileName();
}

TForm_Quenmar::TForm_Quenmar(const Text& programFolder, const std::vector<Text>& givenPaths, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
  setWindowTitle(Q(kMainWindowCaption));
  setFixedSize(kMainWindowClientWidth, kMainWindowClientHeight);
  setFont(FontFor(kWindowFont));
  setWindowIcon(ApplicationIcon());
  MakeControls();
  ConnectHandlers();
  WindowCreated(*this, programFolder, givenPaths);
}

void TForm_Quenmar::MakeControls() {
  for (const ControlDescription& row : kMainWindowControls) {
    QWidget* control = nullptr;
    switch (row.kind) {
      case ControlKind::kGauge:
        control = new TGauge(this);
        break;
      case ControlKind::kLabel: {
        auto* label = new QLabel(Q(row.caption), this);
        label->setAlignment((row.centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
        control = label;
        break;
      }
      case ControlKind::kButton: {
        // The glyph is shown at its own size; the button shows the glyph's
        // disabled frame while it is disabled.
        const QIcon glyph = ButtonGlyph(row.glyph);
        auto* button = new QPushButton(glyph, Q(row.caption), this);
        button->setIconSize(GlyphSize(glyph));
        button->setAutoDefault(true);
        if (row.defaultButton) button->setDefault(true);
        if (row.tooltip != nullptr) {
          button->setToolTip(Q(row.tooltip));
          button->setToolTipDuration(kTooltipShownMilliseconds);
        }
        control = button;
        break;
      }
      case ControlKind::kEdit: {
        auto* edit = new QLineEdit(this);
        if (row.readOnly) edit->setReadOnly(true);
        control = edit;
        break;
      }
    }
    const Rect96& at = row.place;
    control->setGeometry(at.left, at.top, at.width, at.height);
    // A control in the window's font inherits it.
    if (row.font != kWindowFont) control->setFont(FontFor(row.font));
    controls_[static_cast<size_t>(row.role)] = control;
  }
  Gauge()->setVisible(false);  // until a run
  if (const Text path = DescriptionOf(ControlRole::kPathBox).caption; !path.empty()) SetInputPath(path);
  SetStatus(DescriptionOf(ControlRole::kStatusLine).caption);

  for (const ControlRole role : {ControlRole::kStart, ControlRole::kCancel}) {  // their captions are black
    QPalette palette = Button(role)->palette();
    palette.setColor(QPalette::Active, QPalette::ButtonText, Qt::black);
    palette.setColor(QPalette::Inactive, QPalette::ButtonText, Qt::black);
    Button(role)->setPalette(palette);
  }
  QWidget* previous = nullptr;
  for (const ControlRole role : kTabOrder) {
    if (previous != nullptr) setTabOrder(previous, Control(role));
    previous = Control(role);
  }
}

void TForm_Quenmar::ConnectHandlers() {
  using enum ControlRole;
  connect(Button(kStart), &QPushButton::clicked, this, [this] { StartClicked(*this); });
  connect(Button(kCancel), &QPushButton::clicked, this, [this] { CancelClicked(*this); });
  // A logoff or shutdown: a run going stops and cleans up first.
  connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { SessionEnding(*this); });
  connect(Button(kBrowse), &QPushButton::clicked, this, [this] { BrowseClicked(*this); });
  connect(Button(kInfo), &QPushButton::clicked, this,
          [] { QDesktopServices::openUrl(QUrl::fromLocalFile(InfoPagePath())); });
  connect(Edit(kPathBox), &QLineEdit::textChanged, this, [this] { PathChanged(*this); });
  // A drop anywhere is the window's: the edit boxes would take a file's URL as
  // text.
  setAcceptDrops(true);
  Edit(kPathBox)->setAcceptDrops(false);
  Edit(kStatusLine)->setAcceptDrops(false);
  Edit(kStatusLine)->installEventFilter(this);
}

bool TForm_Quenmar::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Control(ControlRole::kStatusLine)) {
    if (event->type() == QEvent::MouseButtonDblClick && StatusActivated(*this)) return true;
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      // Without a result, Enter is Start's as anywhere in the window.
      if ((key == Qt::Key_Return || key == Qt::Key_Enter) && StatusActivated(*this)) return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

namespace {

std::vector<Text> DroppedFiles(const QMimeData* data) {
  std::vector<Text> files;
  if (data == nullptr) return files;
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) files.push_back(url.toLocalFile().toStdU16String());
  }
  return files;
}

}  // namespace

void TForm_Quenmar::dragEnterEvent(QDragEnterEvent* event) {
  if (!RunGoing() && !DroppedFiles(event->mimeData()).empty()) event->acceptProposedAction();
}

void TForm_Quenmar::dropEvent(QDropEvent* event) {
  if (ArchivesDropped(*this, DroppedFiles(event->mimeData()))) event->acceptProposedAction();
}

QWidget* TForm_Quenmar::Control(ControlRole role) const { return controls_[static_cast<size_t>(role)]; }

QPushButton* TForm_Quenmar::Button(ControlRole role) const { return qobject_cast<QPushButton*>(Control(role)); }

QLineEdit* TForm_Quenmar::Edit(ControlRole role) const { return qobject_cast<QLineEdit*>(Control(role)); }

TGauge* TForm_Quenmar::Gauge() const { return qobject_cast<TGauge*>(Control(ControlRole::kGauge)); }

void TForm_Quenmar::SetDialogRunner(DialogRunner runner) { dialogRunner_ = std::move(runner); }

void TForm_Quenmar::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (shownOnce_) return;
  shownOnce_ = true;
  shownAt_.start();
  CentreOnScreen();
  for (const int after : {0, 50, 150, 300, 600}) {
    QTimer::singleShot(after, this, &TForm_Quenmar::KeepCentredWhileTheFrameSettles);
  }
  // The focus starts on the first control of the tab order that can take it.
  for (const ControlRole role : kTabOrder) {
    if (Control(role)->isEnabled()) {
      Control(role)->setFocus(Qt::OtherFocusReason);
      break;
    }
  }
}

QPoint TForm_Quenmar::CentredPosition() const {
  const QScreen* where = screen();
  if (where == nullptr) return pos();
  const QMargins frame = windowHandle() != nullptr ? windowHandle()->frameMargins() : QMargins();
  const QSize outer = size().grownBy(frame);
  const QRect area = where->geometry();
  // A window's position is that of its frame.
  return QPoint(area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2);
}

void TForm_Quenmar::CentreOnScreen() {
  const QPoint centred = CentredPosition();
  if (centred != pos()) move(centred);
}

void TForm_Quenmar::moveEvent(QMoveEvent* event) {
  QDialog::moveEvent(event);
  KeepCentredWhileTheFrameSettles();
}

void TForm_Quenmar::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() == QEvent::ActivationChange) KeepCentredWhileTheFrameSettles();
}

void TForm_Quenmar::KeepCentredWhileTheFrameSettles() {
  // The platform tells the size of the window's frame only once the window is up,
  // a window manager when it has put its frame around the window, and it may
  // place the window once more as it does. For a moment after the window first
  // appears it is centred again whenever it stands elsewhere; later a move is the
  // user's.
  if (shownAt_.isValid() && shownAt_.elapsed() < kSettleMilliseconds) CentreOnScreen();
}

bool TForm_Quenmar::ChooseFiles(TextView filter, bool mustExist, TextView title, TextView proposal,
                                std::vector<Text>& fileNames) {
  return ChooseFileNames(filter, mustExist, title, proposal, fileNames, QtFileDialog(dialogRunner_));
}

void TForm_Quenmar::SetInputPath(const Text& text) {
  const QString shown = Q(text);
  if (shown != Edit(ControlRole::kPathBox)->text()) Edit(ControlRole::kPathBox)->setText(shown);
}

void TForm_Quenmar::SetStartEnabled(bool enabled) {
  // Left to Qt, the focus would pass to Zrušit, where the next Enter ends the
  // program; in the path box Enter does nothing while Start is disabled.
  QWidget* start = Control(ControlRole::kStart);
  if (!enabled && start->hasFocus()) Control(ControlRole::kPathBox)->setFocus(Qt::OtherFocusReason);
  start->setEnabled(enabled);
}

void TForm_Quenmar::FocusStart() { Control(ControlRole::kStart)->setFocus(Qt::OtherFocusReason); }

void TForm_Quenmar::ShowOutcome(Outcome outcome) {
  QLineEdit* status = Edit(ControlRole::kStatusLine);
  QPalette palette = status->palette();
  const std::optional<unsigned> colour = OutcomeColour(outcome);
  palette.setColor(QPalette::Text, colour ? QColor(QRgb(*colour)) : QApplication::palette(status).color(QPalette::Text));
  status->setPalette(palette);
}

void TForm_Quenmar::SetGaugeVisible(bool visible) { Gauge()->setVisible(visible); }

void TForm_Quenmar::SetGaugeProgress(int progress) { Gauge()->SetProgress(progress); }

void TForm_Quenmar::SetStatus(const Text& text) {
  // The start of the text is what tells success from failure; the whole of it,
  // however long the path, is in the tooltip.
  QLineEdit* status = Edit(ControlRole::kStatusLine);
  status->setText(Q(text));
  status->setCursorPosition(0);
  status->setToolTip(Q(text));
}

Text TForm_Quenmar::InputPath() { return Edit(ControlRole::kPathBox)->text().toStdU16String(); }

void TForm_Quenmar::ProcessMessages() { QCoreApplication::processEvents(); }

void TForm_Quenmar::SetStatusTooltip(const Text& text) { Edit(ControlRole::kStatusLine)->setToolTip(Q(text)); }

void TForm_Quenmar::ShowInFolder(const Text& folder, const std::vector<Text>& files) {
  quenmar::ShowInFolder(folder, files);
}

void TForm_Quenmar::WaitForEvents() { QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents); }

void TForm_Quenmar::Wake() {
  // An event of no meaning to the window: posting it is safe from any thread, and
  // it ends the wait.
  QCoreApplication::postEvent(this, new QEvent(QEvent::User));
}

void TForm_Quenmar::Close() { close(); }

void TForm_Quenmar::SetInputsLocked(bool locked) {
  Edit(ControlRole::kPathBox)->setReadOnly(locked);
  Button(ControlRole::kBrowse)->setEnabled(!locked);
}

void TForm_Quenmar::reject() { CancelClicked(*this); }

void TForm_Quenmar::closeEvent(QCloseEvent* event) {
  // Not QDialog's, which would reject() the dialog, that is, Zrušit.
  if (CloseRequested(*this)) {
    event->accept();
  } else {
    event->ignore();
  }
}

}  // namespace quenmar
