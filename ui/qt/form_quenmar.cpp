#include "ui/qt/form_quenmar.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QScreen>
#include <QTemporaryFile>
#include <QTimer>
#include <QUrl>
#include <QWindow>
#include <memory>

#include "support/platform/program.h"
#include "ui/qt/form_filename.h"
#include "ui/qt/glyphs.h"
#include "ui/qt/resources.h"

namespace quenmar {

TForm_Quenmar* Form_Quenmar = nullptr;

namespace {

QString Q(const Text& text) { return QString::fromStdU16String(text); }

// "System" is the platform's general font; "Arial" its nearest equivalent.
QFont SystemFont(int pixels, bool bold = false) {
  QFont font = QApplication::font();
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

QFont ArialFont(int pixels) {
  QFont font;
  font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
  font.setPixelSize(pixels);
  font.setBold(true);
  return font;
}

QLabel* MakeLabel(QWidget* parent, const QString& text, QRect geometry, const QFont& font, Qt::Alignment align) {
  auto* label = new QLabel(text, parent);
  label->setGeometry(geometry);
  label->setFont(font);
  label->setAlignment(align | Qt::AlignVCenter);
  return label;
}

// The glyph is shown at its own size; the button shows the glyph's disabled frame
// while it is disabled.
QPushButton* MakeButton(QWidget* parent, const QString& text, QRect geometry, const QIcon& glyph) {
  auto* button = new QPushButton(glyph, text, parent);
  button->setGeometry(geometry);
  button->setIconSize(GlyphSize(glyph));
  button->setAutoDefault(true);
  return button;
}

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

TForm_Quenmar::TForm_Quenmar(const Text& programFolder, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      programFolder_(programFolder) {
  Form_Quenmar = this;
  setWindowTitle(Q(kCaption));
  setFixedSize(632, 299);
  setFont(SystemFont(11));
  setWindowIcon(ApplicationIcon());

  Gauge = new TGauge(this);
  Gauge->setGeometry(6, 214, 575, 24);
  Gauge->setVisible(false);

  L_OdstranArchivHovDB = MakeLabel(this, Q(kTitleText), QRect(8, 8, 606, 25), ArialFont(20), Qt::AlignHCenter);
  Label1 = MakeLabel(this, Q(kLabel1Text), QRect(6, 138, 575, 16), SystemFont(14), Qt::AlignLeft);
  Label2 = MakeLabel(this, Q(kLabel2Text), QRect(8, 75, 606, 25),
                     ArialFont(20), Qt::AlignHCenter);
  Label3 = MakeLabel(this, Q(kLabel3Text), QRect(8, 103, 606, 25),
                     ArialFont(20), Qt::AlignHCenter);
  Label4 = MakeLabel(this, Q(kLabel4Text), QRect(12, 48, 606, 25), ArialFont(14),
                     Qt::AlignHCenter);

  BB_Start = MakeButton(this, QStringLiteral("Start"), QRect(147, 246, 106, 28), StartGlyph());
  BB_Start->setFont(SystemFont(13, true));
  BB_Start->setDefault(true);
  BB_Cancel = MakeButton(this, QStringLiteral("&Zrušit"), QRect(258, 246, 107, 28), CancelGlyph());
  BB_Cancel->setFont(SystemFont(13, true));

  E_Soubor = new QLineEdit(this);
  E_Soubor->setGeometry(6, 156, 575, 24);
  BB_Browse = MakeButton(this, QString(), QRect(587, 155, 25, 26), FolderTreeGlyph());
  BB_Browse->setToolTip(QStringLiteral("Procházet"));
  BB_Browse->setToolTipDuration(2500);
  E_Stav = new QLineEdit(this);
  E_Stav->setGeometry(6, 186, 575, 24);
  E_Stav->setReadOnly(true);
  SetStatus(kInitialStatus);
  BB_Info = MakeButton(this, QStringLiteral("In&fo"), QRect(369, 246, 107, 28), QuestionMarkGlyph());

  for (QPushButton* button : {BB_Start, BB_Cancel}) {  // their captions are black
    QPalette palette = button->palette();
    palette.setColor(QPalette::Active, QPalette::ButtonText, Qt::black);
    palette.setColor(QPalette::Inactive, QPalette::ButtonText, Qt::black);
    button->setPalette(palette);
  }
  setTabOrder(BB_Start, BB_Cancel);
  setTabOrder(BB_Cancel, E_Soubor);
  setTabOrder(E_Soubor, BB_Browse);
  setTabOrder(BB_Browse, E_Stav);
  setTabOrder(E_Stav, BB_Info);

  connect(BB_Start, &QPushButton::clicked, this, &TForm_Quenmar::BB_StartClick);
  connect(BB_Cancel, &QPushButton::clicked, this, &TForm_Quenmar::BB_CancelClick);
  connect(BB_Browse, &QPushButton::clicked, this, &TForm_Quenmar::BB_BrowseClick);
  connect(BB_Info, &QPushButton::clicked, this, &TForm_Quenmar::BB_InfoClick);
  connect(E_Soubor, &QLineEdit::textChanged, this, &TForm_Quenmar::E_SouborChange);

  FormCreate();
}

void TForm_Quenmar::FormCreate() { quenmar::FormCreate(*this, programFolder_); }

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
  (BB_Start->isEnabled() ? BB_Start : BB_Cancel)->setFocus(Qt::OtherFocusReason);
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

void TForm_Quenmar::E_SouborChange() { quenmar::E_SouborChange(*this); }

void TForm_Quenmar::BB_StartClick() { quenmar::BB_StartClick(*this); }

void TForm_Quenmar::BB_CancelClick() { close(); }

void TForm_Quenmar::BB_BrowseClick() { quenmar::BB_BrowseClick(*this); }

bool TForm_Quenmar::ChooseFile(TextView filter, bool mustExist, TextView title, Text& fileName) {
  return ChooseFileName(false, filter, mustExist, title, fileName);
}

void TForm_Quenmar::SetInputPath(const Text& text) {
  const QString shown = Q(text);
  if (shown != E_Soubor->text()) E_Soubor->setText(shown);
}

void TForm_Quenmar::BB_InfoClick() { QDesktopServices::openUrl(QUrl::fromLocalFile(InfoPagePath())); }

void TForm_Quenmar::SetStartEnabled(bool enabled) {
  // Left to Qt, the focus would pass to Zrušit, where the next Enter ends the
  // program; in the path box Enter does nothing while Start is disabled.
  if (!enabled && BB_Start->hasFocus()) E_Soubor->setFocus(Qt::OtherFocusReason);
  BB_Start->setEnabled(enabled);
}

void TForm_Quenmar::SetGaugeVisible(bool visible) { Gauge->setVisible(visible); }

void TForm_Quenmar::SetGaugeProgress(int progress) { Gauge->SetProgress(progress); }

void TForm_Quenmar::SetStatus(const Text& text) {
  // The start of the text is what tells success from failure; the whole of it,
  // however long the path, is in the tooltip.
  E_Stav->setText(Q(text));
  E_Stav->setCursorPosition(0);
  E_Stav->setToolTip(Q(text));
}

Text TForm_Quenmar::InputPath() { return E_Soubor->text().toStdU16String(); }

void TForm_Quenmar::ProcessMessages() { QCoreApplication::processEvents(); }

}  // namespace quenmar
