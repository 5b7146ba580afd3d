#include "ui/qt/application.h"

#include <QLibraryInfo>
#include <QMessageBox>
#include <QProxyStyle>
#include <QTranslator>

#include <exception>

#include "support/exceptions.h"
#include "support/platform/program.h"
#include "ui/main_window_behaviour.h"
#include "ui/main_window_layout.h"
#include "ui/qt/form_quenmar.h"
#include "ui/qt/glyphs.h"
#include "ui/qt/resources.h"

namespace quenmar {
namespace {

// Tooltips appear after the pointer has rested and go again, as the layout says.
class TooltipTiming : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == SH_ToolTip_WakeUpDelay) return kTooltipDelayMilliseconds;
    if (hint == SH_ToolTip_FallAsleepDelay) return kTooltipShownMilliseconds;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }
};

}  // namespace

void InstallCzechTexts(QCoreApplication& app) {
  InitUiResources();
  auto* czech = new QTranslator(&app);
  if (czech->load(QStringLiteral(":/i18n/qtbase_cs.qm")) ||
      czech->load(QStringLiteral("qtbase_cs"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    app.installTranslator(czech);
  } else {
    delete czech;
  }
}

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QString::fromStdU16String(ApplicationTitleFor(platform::ExecutablePath())));
  setApplicationVersion(QStringLiteral(QUENMAR_VERSION));
  setStyle(new TooltipTiming);
  setWindowIcon(ApplicationIcon());
  InstallCzechTexts(*this);
}

TApplication::~TApplication() = default;

TForm_Quenmar& TApplication::MainWindow(const std::vector<Text>& givenPaths) {
  if (!mainWindow_) mainWindow_ = std::make_unique<TForm_Quenmar>(Text(), givenPaths);
  return *mainWindow_;
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const Exception& e) {
    ShowError(QString::fromStdU16String(e.Message()));
  } catch (const std::exception& e) {
    ShowError(QString::fromUtf8(e.what()));
  }
  return true;
}

void TApplication::ShowError(const QString& message) {
  QMessageBox box(QMessageBox::Critical, applicationName(), QString::fromStdU16String(ErrorReportText(message.toStdU16String())), QMessageBox::Ok);
  box.exec();
}

}  // namespace quenmar
