#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QTest>

#include "archive/zip_file.h"
#include "common/test_support.h"
#include "common/zip_builder.h"
#include "ui/application.h"
#include "ui/form_quenmar.h"

namespace quenmar {
namespace {

using testing::T;
using testing::TempDir;
using testing::WriteFile;

void MakeArchive(const std::string& path) {
  TZipFile zip;
  zip.Open(T(path), zmWrite);
  zip.Add(TBytes("1;2;3\n"), u"2018-10-15-abc-def-ghi.csv");
  zip.Close();
}

TEST(MainWindow, ProposesTheFirstArchiveBesideTheProgram) {
  {
    TempDir none;
    WriteFile(none / "readme.txt", "x");
    TForm_Quenmar form(T(none.path()));
    EXPECT_TRUE(form.E_Soubor->text().isEmpty());
    EXPECT_FALSE(form.BB_Start->isEnabled());
    EXPECT_EQ(form.E_Stav->text(), QStringLiteral("Zvolte ZIP soubor pro konverzi."));
    EXPECT_FALSE(form.Gauge->isVisible());
  }
  {
    TempDir one;
    MakeArchive(one / "Data.Zip");
    TForm_Quenmar form(T(one.path()));
    EXPECT_EQ(form.E_Soubor->text().toStdString(), one / "Data.Zip");
    EXPECT_TRUE(form.BB_Start->isEnabled());
  }
  {
    TempDir several;
    MakeArchive(several / "a.zip");
    MakeArchive(several / "b.ZIP");
    TForm_Quenmar form(T(several.path()));
    const std::string proposed = form.E_Soubor->text().toStdString();
    EXPECT_TRUE(proposed == several / "a.zip" || proposed == several / "b.ZIP") << proposed;
  }
  {
    TempDir folder;
    mkdir((folder / "archive.zip").c_str(), 0755);
    TForm_Quenmar form(T(folder.path()));
    EXPECT_EQ(form.E_Soubor->text().toStdString(), folder / "archive.zip");
    EXPECT_TRUE(form.BB_Start->isEnabled());  // a folder counts as present
  }
}

TEST(MainWindow, StartFollowsTheTypedPath) {
  TempDir dir;
  MakeArchive(dir / "data.zip");
  TForm_Quenmar form(T(dir.path() + "/none"));
  form.show();
  EXPECT_FALSE(form.BB_Start->isEnabled());
  form.E_Soubor->setFocus();
  QTest::keyClicks(form.E_Soubor, QString::fromStdString(dir / "data.zip"));
  EXPECT_TRUE(form.BB_Start->isEnabled());
  QTest::keyClick(form.E_Soubor, Qt::Key_Backspace);
  EXPECT_FALSE(form.BB_Start->isEnabled());
}

TEST(MainWindow, EnterInThePathBoxRunsTheConversion) {
  TempDir dir;
  MakeArchive(dir / "exports.zip");
  TForm_Quenmar form(T(dir.path()));
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  form.E_Soubor->setFocus();
  QTest::keyClick(form.E_Soubor, Qt::Key_Return);
  EXPECT_EQ(form.E_Stav->text().toStdString(), "Soubor byl konvertován do: " + dir / "expo-rts.zip");
  EXPECT_FALSE(form.BB_Start->isEnabled());
  EXPECT_FALSE(form.Gauge->isVisible());
  EXPECT_EQ(form.Gauge->Progress(), 100);
  TZipFile out;
  out.Open(T(dir / "expo-rts.zip"), zmRead);
  EXPECT_EQ(out.FileName(0), u"2018-10-abc-def-ghi-mob.csv");
  // Enter does nothing while Start is disabled.
  form.E_Stav->setText("unchanged");
  QTest::keyClick(form.E_Soubor, Qt::Key_Return);
  EXPECT_EQ(form.E_Stav->text(), QStringLiteral("unchanged"));
}

TEST(MainWindow, AFailedRunSaysWhatFailed) {
  TempDir dir;
  WriteFile(dir / "broken.zip", "no archive");
  TForm_Quenmar form(T(dir.path()));
  form.show();
  ASSERT_TRUE(form.BB_Start->isEnabled());
  form.BB_Start->click();
  EXPECT_EQ(form.E_Stav->text(), QStringLiteral("Konverze selhala: Error reading zip file"));
  EXPECT_FALSE(form.Gauge->isVisible());
  EXPECT_FALSE(form.BB_Start->isEnabled());
}

// Nothing of a run that failed half-way through an entry's data reaches the next.
TEST(MainWindow, AValidArchiveConvertsAfterAFailedRun) {
  TempDir dir;
  testing::BuiltArchive bad;
  bad.entries.push_back(testing::DamagedDeflateEntry("2018-10-15-a-b.csv"));
  WriteFile(dir / "bad.zip", bad.Bytes());
  MakeArchive(dir / "good.zip");
  TForm_Quenmar form(T(dir.path()));
  form.show();
  form.E_Soubor->setText(QString::fromStdString(dir / "bad.zip"));
  form.BB_Start->click();
  EXPECT_EQ(form.E_Stav->text().toStdString(), "Konverze selhala u položky \"2018-10-15-a-b.csv\": data error");
  form.E_Soubor->setText(QString::fromStdString(dir / "good.zip"));
  ASSERT_TRUE(form.BB_Start->isEnabled());
  form.BB_Start->click();
  EXPECT_EQ(form.E_Stav->text().toStdString(), "Soubor byl konvertován do: " + dir / "good-.zip");
}

TEST(MainWindow, TabOrderAndEscape) {
  TempDir dir;
  MakeArchive(dir / "data.zip");
  TForm_Quenmar form(T(dir.path()));
  form.show();
  QApplication::setActiveWindow(&form);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  EXPECT_EQ(QApplication::focusWidget(), form.BB_Start);
  const QWidget* expected[] = {form.BB_Cancel, form.E_Soubor, form.BB_Browse, form.E_Stav, form.BB_Info, form.BB_Start};
  for (const QWidget* widget : expected) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), widget) << widget->metaObject()->className();
  }
  form.E_Stav->setFocus();
  QTest::keyClick(form.E_Stav, Qt::Key_Escape);
  EXPECT_FALSE(form.isVisible());
}

TEST(MainWindow, StartsOnCancelWhenStartIsDisabled) {
  TempDir dir;
  TForm_Quenmar form(T(dir.path()));
  form.show();
  QApplication::setActiveWindow(&form);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  EXPECT_EQ(QApplication::focusWidget(), form.BB_Cancel);
  EXPECT_EQ(form.BB_Cancel->shortcut(), QKeySequence(QStringLiteral("Alt+Z")));
  EXPECT_EQ(form.BB_Info->shortcut(), QKeySequence(QStringLiteral("Alt+F")));
  EXPECT_EQ(form.size(), QSize(632, 299));
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Quenmar  "));
}

TEST(Application, TitleAndErrorText) {
  EXPECT_EQ(ApplicationTitleFor(u"/opt/q/QUENMAR.bin.x"), u"Quenmar");
  EXPECT_EQ(ApplicationTitleFor(u"/usr/bin/quenmar"), u"quenmar");
  EXPECT_EQ(ErrorReportText("Disk full"), QStringLiteral("Disk full."));
  EXPECT_EQ(ErrorReportText("Done."), QStringLiteral("Done."));
  EXPECT_EQ(ErrorReportText("Why?"), QStringLiteral("Why?."));
  EXPECT_EQ(ErrorReportText("a -"), QStringLiteral("a -"));
}

}  // namespace
}  // namespace quenmar
