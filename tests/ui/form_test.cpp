#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "archive/zip_file.h"
#include "common/test_support.h"
#include "common/zip_builder.h"
#include "ui/qt/application.h"
#include "ui/qt/form_quenmar.h"

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
    testing::MakeFolder(folder / "archive.zip");
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

// Every aligned Scale x Scale block of the image is of one colour: the picture was
// enlarged pixel for pixel, not smoothed.
bool EnlargedPixelForPixel(const QImage& image, int scale) {
  for (int y = 0; y < image.height(); y += scale) {
    for (int x = 0; x < image.width(); x += scale) {
      for (int dy = 0; dy < scale; ++dy) {
        for (int dx = 0; dx < scale; ++dx) {
          if (image.pixel(x + dx, y + dy) != image.pixel(x, y)) return false;
        }
      }
    }
  }
  return true;
}

TEST(MainWindow, GlyphsAtTheirOwnSizeWithADisabledFrameAndTheIcon) {
  TForm_Quenmar form;
  struct Case { QPushButton* button; int size; QRgb colour; };
  const Case cases[] = {{form.BB_Start, 18, qRgb(0, 128, 0)},
                        {form.BB_Cancel, 18, qRgb(255, 0, 0)},
                        {form.BB_Browse, 16, qRgb(255, 255, 0)},
                        {form.BB_Info, 18, qRgb(0, 128, 128)}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button->text().toStdString());
    const QIcon glyph = c.button->icon();
    EXPECT_EQ(c.button->iconSize(), QSize(c.size, c.size));
    const QImage normal = glyph.pixmap(QSize(c.size, c.size), 1.0, QIcon::Normal).toImage();
    const QImage disabled = glyph.pixmap(QSize(c.size, c.size), 1.0, QIcon::Disabled).toImage();
    ASSERT_EQ(normal.size(), QSize(c.size, c.size));
    EXPECT_EQ(qAlpha(normal.pixel(0, c.size - 1)), 0);  // the bottom-left colour is transparent
    bool hasColour = false;
    for (int y = 0; y < c.size; ++y) {
      for (int x = 0; x < c.size; ++x) hasColour = hasColour || normal.pixel(x, y) == c.colour;
    }
    EXPECT_TRUE(hasColour);
    EXPECT_NE(normal, disabled.convertToFormat(normal.format()));
    // Crisp on a screen of double density.
    const QImage twice = glyph.pixmap(QSize(c.size, c.size), 2.0, QIcon::Normal).toImage();
    EXPECT_EQ(twice.size(), QSize(2 * c.size, 2 * c.size));
    EXPECT_TRUE(EnlargedPixelForPixel(twice, 2));
  }
  QList<QSize> sizes = form.windowIcon().availableSizes();
  std::sort(sizes.begin(), sizes.end(), [](QSize a, QSize b) { return a.width() < b.width(); });
  EXPECT_EQ(sizes, (QList<QSize>{QSize(16, 16), QSize(32, 32), QSize(48, 48)}));
}

TEST(MainWindow, CentredOnTheScreenFrameIncluded) {
  TForm_Quenmar form;
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  QCoreApplication::processEvents();  // the platform reports the frame once the window is up
  const QRect screen = form.screen()->geometry();
  const QRect frame = form.frameGeometry();
  EXPECT_LE(std::abs(frame.center().x() - screen.center().x()), 1) << frame.x() << "," << frame.y();
  EXPECT_LE(std::abs(frame.center().y() - screen.center().y()), 1) << frame.x() << "," << frame.y();
}

// The probes are whole runs of the program; what Qt's and D-Bus's libraries keep
// until the process ends is not theirs to report (the window's own code is
// checked for leaks by these tests, in this process).
const std::string kProbeEnvironment = "ASAN_OPTIONS=detect_leaks=0 ";

// The same on a real X display with a window manager, which tells the size of its
// frame only after the window is shown.
TEST(MainWindow, CentredUnderAWindowManager) {
  if (!testing::HaveProgram("xvfb-run") || !testing::HaveProgram("openbox")) GTEST_SKIP() << "xvfb-run or openbox missing";
  std::string output;
  const std::string command = std::string("xvfb-run -a -s '-screen 0 1280x1024x24' sh -c 'openbox >/dev/null 2>&1 & "
                                          "sleep 1; ") + kProbeEnvironment + "QT_QPA_PLATFORM=xcb " + QUENMAR_UI_PLACEMENT_PROBE + "'";
  ASSERT_EQ(testing::RunCommand(command, &output, false), 0) << output;
  int fx, fy, fw, fh, sx, sy, sw, sh;
  ASSERT_EQ(std::sscanf(output.c_str(), "%d %d %d %d %d %d %d %d", &fx, &fy, &fw, &fh, &sx, &sy, &sw, &sh), 8) << output;
  EXPECT_GT(fh, 299) << "no frame around the window: " << output;
  EXPECT_LE(std::abs((fx + fw / 2) - (sx + sw / 2)), 1) << output;
  EXPECT_LE(std::abs((fy + fh / 2) - (sy + sh / 2)), 1) << output;
}

// Enter on Start converts; the focus then rests in the path box, where a second
// Enter does nothing, rather than on Zrušit, where it would end the program.
TEST(MainWindow, EnterTwiceConvertsOnceAndKeepsTheWindowOpen) {
  TempDir dir;
  MakeArchive(dir / "exports.zip");
  TForm_Quenmar form(T(dir.path()));
  form.show();
  QApplication::setActiveWindow(&form);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  ASSERT_EQ(QApplication::focusWidget(), form.BB_Start);
  QTest::keyClick(form.BB_Start, Qt::Key_Return);
  EXPECT_EQ(form.E_Stav->text().toStdString(), "Soubor byl konvertován do: " + dir / "expo-rts.zip");
  EXPECT_EQ(QApplication::focusWidget(), form.E_Soubor);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(form.E_Stav->text().toStdString(), "Soubor byl konvertován do: " + dir / "expo-rts.zip");
}

TEST(MainWindow, TheStatusLineShowsItsStartAndTheWholeTextInItsTooltip) {
  TempDir dir;
  std::string deep = dir.path();
  for (int i = 0; i < 6; ++i) {
    deep += "/a-rather-long-folder-name-" + std::to_string(i);
    ASSERT_EQ(testing::MakeFolder(deep), 0);
  }
  MakeArchive(deep + "/exports.zip");
  TForm_Quenmar form(T(deep));
  form.show();
  form.BB_Start->click();
  const QString text = QString::fromStdString("Soubor byl konvertován do: " + deep + "/expo-rts.zip");
  EXPECT_EQ(form.E_Stav->text(), text);
  EXPECT_EQ(form.E_Stav->cursorPosition(), 0);
  EXPECT_EQ(form.E_Stav->toolTip(), text);
}

TEST(MainWindow, ANameWithoutADateIsExplainedInCzech) {
  TempDir dir;
  TZipFile zip;
  zip.Open(T(dir / "exports.zip"), zmWrite);
  zip.Add(TBytes("x"), u"readme.txt");
  zip.Close();
  TForm_Quenmar form(T(dir.path()));
  form.BB_Start->click();
  EXPECT_EQ(form.E_Stav->text().toStdString(),
            "Konverze selhala u položky \"readme.txt\": název nezačíná platným datem RRRR-MM-DD "
            "(Invalid argument to date encode)");
}

// The program copied alone next to the archives still opens its page.
TEST(MainWindow, TheInformationPageIsThereWithoutACopyBesideTheProgram) {
  const QString path = InfoPagePath();
  QFile page(path), builtIn(QStringLiteral(":/info/quenmar-info.html"));
  ASSERT_TRUE(page.open(QIODevice::ReadOnly)) << path.toStdString();
  ASSERT_TRUE(builtIn.open(QIODevice::ReadOnly));
  EXPECT_EQ(page.readAll(), builtIn.readAll());
  EXPECT_EQ(InfoPagePath(), path);  // one copy for the whole run of the program
}

// After the error report of a vanished folder, closing the window ends the
// program normally.
TEST(MainWindow, ExitsCleanlyAfterTheErrorReport) {
  std::string output;
  EXPECT_EQ(testing::RunCommand(kProbeEnvironment + "QT_QPA_PLATFORM=offscreen " + QUENMAR_UI_EXIT_PROBE, &output), 0)
      << output;
}

TEST(Application, QtsOwnTextsAreCzech) {
  EXPECT_NE(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Look in:"));
  EXPECT_NE(QCoreApplication::translate("QFileDialog", "File &name:"), QStringLiteral("File &name:"));
  EXPECT_NE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
}

}  // namespace
}  // namespace quenmar
