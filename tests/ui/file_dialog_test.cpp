#include <gtest/gtest.h>
#include <unistd.h>

#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <vector>

#include "common/test_support.h"
#include "support/platform/paths.h"
#include "ui/qt/file_dialog.h"

namespace quenmar {
namespace {

using testing::T;
using testing::TempDir;
using testing::WriteFile;

TEST(QtFileDialog, OpensWithTheProposedNameAndAppliesTheFilterExtension) {
  TempDir dir;
  WriteFile(dir / "report", "x");
  const Text before = platform::GetCurrentDir();
  QString shownName, shownFolder;
  const DialogRunner script = [&](QFileDialog& dialog) {
    shownName = dialog.findChild<QLineEdit*>("fileNameEdit")->text();
    shownFolder = dialog.directory().absolutePath();
    // Centred across the screen, a third of the free height down.
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QSize size = dialog.size().expandedTo(dialog.sizeHint());
    EXPECT_EQ(dialog.pos(), QPoint(area.x() + (area.width() - size.width()) / 2,
                                   area.y() + (area.height() - size.height()) / 3));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Vyberte soubor pro konverzi"));
    EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFile);
    // The type list shows the description alone.
    auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    EXPECT_TRUE(types != nullptr && types->count() == 1 && types->itemText(0) == QStringLiteral("*.ZIP"));
    // The user wanders off and confirms a name without an extension.
    ::chdir("/");
    dialog.selectFile(QString::fromStdString(dir / "report"));
    return int(QDialog::Accepted);
  };
  Text name = T(dir.path() + "/");
  EXPECT_TRUE(ChooseFileName(false, u"*.ZIP|*.ZIP", true, u"Vyberte soubor pro konverzi", name, QtFileDialog(script)));
  EXPECT_EQ(shownName, QStringLiteral("*.ZIP"));
  EXPECT_EQ(shownFolder.toStdString(), dir.path());
  EXPECT_EQ(testing::U(name), dir / "report.ZIP");
  EXPECT_EQ(platform::GetCurrentDir(), before);
}

// The user types several names in quotes, as the dialog takes them.
TEST(QtFileDialog, SeveralExistingFilesCanBeChosen) {
  TempDir dir;
  WriteFile(dir / "a.zip", "x");
  WriteFile(dir / "b c.zip", "x");
  const DialogRunner script = [&](QFileDialog& dialog) {
    EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFiles);
    EXPECT_EQ(dialog.directory().absolutePath().toStdString(), dir.path());
    dialog.findChild<QLineEdit*>("fileNameEdit")->setText(QStringLiteral("\"a.zip\" \"b c.zip\""));
    return int(QDialog::Accepted);
  };
  std::vector<Text> names;
  EXPECT_TRUE(ChooseFileNames(u"*.ZIP|*.ZIP", true, u"t", T(dir / "a.zip"), names, QtFileDialog(script)));
  EXPECT_EQ(names, (std::vector<Text>{T(dir / "a.zip"), T(dir / "b c.zip")}));
}

TEST(QtFileDialog, CancelGivesFalseAndTheExpandedName) {
  Text name;
  EXPECT_FALSE(ChooseFileName(true, u"*.ZIP|*.ZIP", false, u"t", name,
                              QtFileDialog([](QFileDialog&) { return int(QDialog::Rejected); })));
  EXPECT_EQ(name, platform::GetCurrentDir() + u"/*.ZIP");
}

TEST(QtFileDialog, ChangingTheFileTypeRewritesTheExtensionInTheNameBox) {
  TempDir dir;
  const DialogRunner script = [&](QFileDialog& dialog) {
    dialog.show();
    auto* box = dialog.findChild<QLineEdit*>("fileNameEdit");
    box->setText("report.txt");
    dialog.selectNameFilter(dialog.nameFilters().at(1));
    emit dialog.filterSelected(dialog.nameFilters().at(1));
    EXPECT_EQ(box->text(), QStringLiteral("report.ZIP"));
    dialog.selectNameFilter(dialog.nameFilters().at(0));
    emit dialog.filterSelected(dialog.nameFilters().at(0));
    EXPECT_EQ(box->text(), QStringLiteral("report.txt"));
    return int(QDialog::Rejected);
  };
  Text name = T(dir / "report.txt");
  ChooseFileName(false, u"Text|*.txt|Archive|*.ZIP", false, u"t", name, QtFileDialog(script));
}

}  // namespace
}  // namespace quenmar
