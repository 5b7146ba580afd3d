#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QUrl>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include "archive/zip_file.h"
#include "common/test_support.h"
#include "common/zip_builder.h"
#include "ui/qt/application.h"
#include "ui/main_window_layout.h"
#include "ui/qt/form_quenmar.h"
#include "ui/qt/show_in_folder.h"

namespace quenmar {
namespace {

using testing::T;
using testing::TempDir;
using testing::WriteFile;
using enum ControlRole;

void MakeArchive(const std::string& path) {
  TZipFile zip;
  zip.Open(T(path), zmWrite);
  zip.Add(TBytes("1;2;3\n"), u"2018-10-15-abc-def-ghi.csv");
  zip.Close();
}

// The controls as the layout table describes them, drawn in Qt.
TEST(MainWindow, IsMadeFromTheLayoutTable) {
  TempDir dir;
  TForm_Quenmar form(T(dir.path()));
  EXPECT_EQ(form.size(), QSize(kMainWindowClientWidth, kMainWindowClientHeight));
  EXPECT_EQ(form.windowTitle().toStdU16String(), kMainWindowCaption);
  for (const ControlDescription& row : kMainWindowControls) {
    QWidget* control = form.Control(row.role);
    ASSERT_NE(control, nullptr);
    const Text caption = row.caption;
    SCOPED_TRACE(testing::U(caption));
    const Rect96& at = row.place;
    EXPECT_EQ(control->geometry(), QRect(at.left, at.top, at.width, at.height));
    const QFont font = control->font();
    EXPECT_EQ(font.pixelSize(), row.font.pixels);
    EXPECT_EQ(font.bold(), row.font.bold);
    if (row.font.face == FontFace::kArial) {
      EXPECT_EQ(font.families().value(0), QStringLiteral("Arial"));
    } else {
      EXPECT_EQ(font.family(), QApplication::font().family());
    }
    EXPECT_EQ(control->focusPolicy() != Qt::NoFocus, row.tabOrder > 0);
    switch (row.kind) {
      case ControlKind::kLabel: {
        const auto* label = qobject_cast<QLabel*>(control);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text().toStdU16String(), caption);
        EXPECT_EQ(label->alignment(), (row.centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
        break;
      }
      case ControlKind::kButton:
        ASSERT_NE(form.Button(row.role), nullptr);
        EXPECT_EQ(form.Button(row.role)->text().toStdU16String(), caption);
        EXPECT_EQ(form.Button(row.role)->isDefault(), row.defaultButton);
        EXPECT_EQ(form.Button(row.role)->toolTip().toStdU16String(), Text(row.tooltip ? row.tooltip : u""));
        break;
      case ControlKind::kEdit:
        ASSERT_NE(form.Edit(row.role), nullptr);
        EXPECT_EQ(form.Edit(row.role)->text().toStdU16String(), caption);
        EXPECT_EQ(form.Edit(row.role)->isReadOnly(), row.readOnly);
        break;
      case ControlKind::kGauge:
        EXPECT_FALSE(control->isVisible());
        EXPECT_FALSE(control->isVisibleTo(&form));
        break;
    }
  }
  EXPECT_EQ(form.Edit(kStatusLine)->text(), QStringLiteral("Zvolte ZIP soubor pro konverzi."));
  EXPECT_EQ(form.Edit(kStatusLine)->toolTip(), form.Edit(kStatusLine)->text());
}

// Start-up's proposal and the path box's rule are the behaviour's
// (tests/window/behaviour_test.cpp); here they reach the Qt controls: the proposal
// fills the box, and keystrokes in it enable and disable Start.
TEST(MainWindow, TheProposalAndTypingInThePathBoxReachStart) {
  TempDir dir;
  MakeArchive(dir / "Data.Zip");
  TForm_Quenmar form(T(dir.path()));
  EXPECT_EQ(form.Edit(kPathBox)->text().toStdString(), dir / "Data.Zip");
  EXPECT_TRUE(form.Button(kStart)->isEnabled());
  form.show();
  form.Edit(kPathBox)->setFocus();
  QTest::keyClick(form.Edit(kPathBox), Qt::Key_End);
  QTest::keyClick(form.Edit(kPathBox), Qt::Key_Backspace);
  EXPECT_FALSE(form.Button(kStart)->isEnabled());
  QTest::keyClicks(form.Edit(kPathBox), QStringLiteral("p"));
  EXPECT_TRUE(form.Button(kStart)->isEnabled());
}

TEST(MainWindow, EnterInThePathBoxRunsTheConversion) {
  TempDir dir;
  MakeArchive(dir / "exports.zip");
  TForm_Quenmar form(T(dir.path()));
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  form.Edit(kPathBox)->setFocus();
  QTest::keyClick(form.Edit(kPathBox), Qt::Key_Return);
  EXPECT_EQ(form.Edit(kStatusLine)->text().toStdString(), "Soubor byl konvertován do: " + dir / "expo-rts.zip");
  EXPECT_FALSE(form.Button(kStart)->isEnabled());
  EXPECT_FALSE(form.Gauge()->isVisible());
  EXPECT_EQ(form.Gauge()->Progress(), 100);
  TZipFile out;
  out.Open(T(dir / "expo-rts.zip"), zmRead);
  EXPECT_EQ(out.FileName(0), u"2018-10-abc-def-ghi-mob.csv");
  // Enter does nothing while Start is disabled.
  form.Edit(kStatusLine)->setText("unchanged");
  QTest::keyClick(form.Edit(kPathBox), Qt::Key_Return);
  EXPECT_EQ(form.Edit(kStatusLine)->text(), QStringLiteral("unchanged"));
}

TEST(MainWindow, AFailedRunSaysWhatFailed) {
  TempDir dir;
  WriteFile(dir / "broken.zip", "no archive");
  TForm_Quenmar form(T(dir.path()));
  form.show();
  ASSERT_TRUE(form.Button(kStart)->isEnabled());
  form.Button(kStart)->click();
  EXPECT_EQ(form.Edit(kStatusLine)->text().toStdString(),
            "Konverze selhala: Soubor není platný archiv ZIP nebo je poškozený. (Error reading zip file)");
  EXPECT_FALSE(form.Gauge()->isVisible());
  EXPECT_TRUE(form.Button(kStart)->isEnabled());  // to try again
  // In the failure's colour until the path changes.
  const auto textColour = [&] { return form.Edit(kStatusLine)->palette().color(QPalette::Text).rgb() & 0xFFFFFF; };
  EXPECT_EQ(textColour(), *OutcomeColour(Outcome::kFailed));
  form.Edit(kPathBox)->setText(QString::fromStdString(dir / "other.zip"));
  EXPECT_EQ(textColour(), QApplication::palette(form.Edit(kStatusLine)).color(QPalette::Text).rgb() & 0xFFFFFF);
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
  form.Edit(kPathBox)->setText(QString::fromStdString(dir / "bad.zip"));
  form.Button(kStart)->click();
  EXPECT_EQ(form.Edit(kStatusLine)->text().toStdString(),
            "Konverze selhala u položky \"2018-10-15-a-b.csv\": Archiv je poškozený, data položky nelze přečíst. "
            "(data error)");
  form.Edit(kPathBox)->setText(QString::fromStdString(dir / "good.zip"));
  ASSERT_TRUE(form.Button(kStart)->isEnabled());
  form.Button(kStart)->click();
  EXPECT_EQ(form.Edit(kStatusLine)->text().toStdString(), "Soubor byl konvertován do: " + dir / "good-.zip");
}

// After a run (which leaves Start disabled), choosing the same archive again in
// the dialog enables Start and gives it the focus: Enter converts it again.
TEST(MainWindow, BrowseConfirmedGivesStartTheFocus) {
  TempDir dir;
  MakeArchive(dir / "data.zip");
  TForm_Quenmar form(T(dir.path()));
  form.show();
  QApplication::setActiveWindow(&form);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  form.Button(kStart)->click();
  ASSERT_FALSE(form.Button(kStart)->isEnabled());
  form.SetDialogRunner([&](QFileDialog& dialog) {
    dialog.selectFile(QString::fromStdString(dir / "data.zip"));
    return int(QDialog::Accepted);
  });
  form.Button(kBrowse)->setFocus();
  form.Button(kBrowse)->click();
  EXPECT_TRUE(form.Button(kStart)->isEnabled());
  EXPECT_EQ(QApplication::focusWidget(), form.Control(kStart));
  EXPECT_EQ(form.Edit(kStatusLine)->text(), QString::fromStdU16String(kInitialStatus));
}

// Files dropped anywhere on the window reach the path box, the edit boxes
// included; a drag of something else is not taken.
TEST(MainWindow, ArchivesDroppedOnTheWindowFillThePathBox) {
  TempDir dir;
  MakeArchive(dir / "a.zip");
  MakeArchive(dir / "b.zip");
  TForm_Quenmar form(T(dir.path()));
  form.show();
  QMimeData files;
  files.setUrls({QUrl::fromLocalFile(QString::fromStdString(dir / "a.zip")),
                 QUrl::fromLocalFile(QString::fromStdString(dir / "b.zip"))});
  QMimeData text;
  text.setText(QStringLiteral("just text"));
  for (const ControlRole target : {kPathBox, kStatusLine, kTitle}) {
    QWidget* onto = form.Control(target);
    const QPoint at = onto->mapTo(&form, onto->rect().center());
    QDragEnterEvent refused(at, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &refused);
    EXPECT_FALSE(refused.isAccepted());
    QDragEnterEvent enter(at, Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_FALSE(onto->acceptDrops());  // so the drop reaches the window
  }
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&form, &drop);
  EXPECT_TRUE(drop.isAccepted());
  EXPECT_EQ(form.Edit(kPathBox)->text().toStdString(), "\"" + (dir / "a.zip") + "\" \"" + (dir / "b.zip") + "\"");
  EXPECT_TRUE(form.Button(kStart)->isEnabled());
}

TEST(MainWindow, TabOrderAndEscape) {
  TempDir dir;
  MakeArchive(dir / "data.zip");
  TForm_Quenmar form(T(dir.path()));
  form.show();
  QApplication::setActiveWindow(&form);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  // From the first of the tab order round to it again.
  std::vector<ControlRole> order(kTabOrder.begin(), kTabOrder.end());
  ASSERT_FALSE(order.empty());
  EXPECT_EQ(QApplication::focusWidget(), form.Control(order.front()));
  order.push_back(order.front());
  for (size_t i = 1; i < order.size(); ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), form.Control(order[i])) << i;
  }
  form.Edit(kStatusLine)->setFocus();
  QTest::keyClick(form.Edit(kStatusLine), Qt::Key_Escape);
  EXPECT_FALSE(form.isVisible());
}

TEST(MainWindow, StartsOnCancelWhenStartIsDisabled) {
  TempDir dir;
  TForm_Quenmar form(T(dir.path()));
  form.show();
  QApplication::setActiveWindow(&form);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  EXPECT_EQ(QApplication::focusWidget(), form.Button(kCancel));
  EXPECT_EQ(form.Button(kCancel)->shortcut(), QKeySequence(QStringLiteral("Alt+Z")));
  EXPECT_EQ(form.Button(kInfo)->shortcut(), QKeySequence(QStringLiteral("Alt+F")));
}

// Frame Index of a glyph file as the window should show it: its bottom-left
// colour transparent, enlarged pixel for pixel by Scale.
QImage FrameOfFile(const QString& name, int index, int scale = 1) {
  const QImage strip(QStringLiteral(":/glyphs/") + name);
  const int size = strip.height();
  QImage frame = strip.copy(index * size, 0, size, size).convertToFormat(QImage::Format_ARGB32);
  const QRgb clear = strip.pixel(0, size - 1);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      if (frame.pixel(x, y) == clear) frame.setPixel(x, y, 0);
    }
  }
  return frame.scaled(size * scale, size * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

TEST(MainWindow, GlyphsAtTheirOwnSizeWithADisabledFrameAndTheIcon) {
  TForm_Quenmar form;
  struct Case { QPushButton* button; const char* file; int size; QRgb colour; };
  const Case cases[] = {{form.Button(kStart), "start", 18, qRgb(0, 128, 0)},
                        {form.Button(kCancel), "cancel", 18, qRgb(255, 0, 0)},
                        {form.Button(kBrowse), "browse", 16, qRgb(255, 255, 0)},
                        {form.Button(kInfo), "info", 18, qRgb(0, 128, 128)}};
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
    // On a screen of double density, both frames from the drawing of twice the
    // size, which is not the small one enlarged.
    const QString file = QString::fromLatin1(c.file);
    for (const auto& [mode, index] : {std::pair{QIcon::Normal, 0}, std::pair{QIcon::Disabled, 1}}) {
      QImage twice = glyph.pixmap(QSize(c.size, c.size), 2.0, mode).toImage().convertToFormat(QImage::Format_ARGB32);
      twice.setDevicePixelRatio(1.0);
      EXPECT_EQ(twice.size(), QSize(2 * c.size, 2 * c.size));
      EXPECT_EQ(twice, FrameOfFile(file + "@2x.bmp", index)) << index;
      EXPECT_NE(twice, FrameOfFile(file + ".bmp", index, 2)) << index;
    }
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
  ASSERT_EQ(QApplication::focusWidget(), form.Button(kStart));
  QTest::keyClick(form.Button(kStart), Qt::Key_Return);
  EXPECT_EQ(form.Edit(kStatusLine)->text().toStdString(), "Soubor byl konvertován do: " + dir / "expo-rts.zip");
  EXPECT_EQ(QApplication::focusWidget(), form.Edit(kPathBox));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(form.Edit(kStatusLine)->text().toStdString(), "Soubor byl konvertován do: " + dir / "expo-rts.zip");
}

// During a run the window goes on answering: the timer below fires while the
// run goes. Zrušit, Escape and the close button each stop a run of 50 MB at its
// next block and leave the folder as it was; only the close closes the window,
// once the run has cleaned up. The path box and Browse are locked meanwhile.
TEST(MainWindow, ARunOfFiftyMegabytesStopsOnZrusitEscapeOrClose) {
  TempDir dir;
  WriteFile(dir / "velky.zip", testing::NoiseArchive(5, 10 << 20));
  const auto before = testing::Snapshot(dir.path());
  enum Way { kZrusit, kEscape, kClose };
  for (const Way way : {kZrusit, kEscape, kClose}) {
    SCOPED_TRACE(way);
    TForm_Quenmar form(T(dir.path()));
    form.show();
    ASSERT_TRUE(form.Button(kStart)->isEnabled());
    bool lockedSeen = false;
    QTimer whileRunning;
    QObject::connect(&whileRunning, &QTimer::timeout, [&] {
      if (!form.Gauge()->isVisible()) return;
      whileRunning.stop();
      lockedSeen = form.Edit(kPathBox)->isReadOnly() && !form.Button(kBrowse)->isEnabled();
      if (way == kZrusit) form.Button(kCancel)->click();
      if (way == kEscape) QTest::keyClick(&form, Qt::Key_Escape);
      if (way == kClose) {
        EXPECT_FALSE(form.close());  // not yet
      }
    });
    whileRunning.start(5);
    form.Button(kStart)->click();
    EXPECT_TRUE(lockedSeen);
    EXPECT_EQ(form.Edit(kStatusLine)->text(), QStringLiteral("Konverze přerušena"));
    EXPECT_EQ(form.isVisible(), way != kClose);
    EXPECT_FALSE(form.Edit(kPathBox)->isReadOnly());
    EXPECT_TRUE(form.Button(kBrowse)->isEnabled());
    EXPECT_EQ(testing::Snapshot(dir.path()), before);
  }
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
  form.Button(kStart)->click();
  const QString text = QString::fromStdString("Soubor byl konvertován do: " + deep + "/expo-rts.zip");
  EXPECT_EQ(form.Edit(kStatusLine)->text(), text);
  EXPECT_EQ(form.Edit(kStatusLine)->cursorPosition(), 0);
  EXPECT_EQ(form.Edit(kStatusLine)->toolTip(), text + "\n" + QString::fromStdU16String(kShowResultHint));

  // A double-click or Enter there shows the new archive in its folder (a
  // recorder in place of the file manager); once the path changes Enter is
  // Start's again.
  std::vector<std::string> shown;
  SetFolderShower([&](const Text& folder, const std::vector<Text>& files) {
    shown.push_back(testing::U(folder));
    for (const Text& file : files) shown.push_back(testing::U(file));
  });
  QTest::mouseDClick(form.Edit(kStatusLine), Qt::LeftButton);
  form.Edit(kStatusLine)->setFocus();
  QTest::keyClick(form.Edit(kStatusLine), Qt::Key_Return);
  const std::vector<std::string> once = {deep + "/", deep + "/expo-rts.zip"};
  std::vector<std::string> twice = once;
  twice.insert(twice.end(), once.begin(), once.end());
  EXPECT_EQ(shown, twice);
  form.Edit(kPathBox)->setText(QString::fromStdString(deep + "/exports.zip "));
  QTest::mouseDClick(form.Edit(kStatusLine), Qt::LeftButton);
  EXPECT_EQ(shown.size(), twice.size());
  SetFolderShower(nullptr);
}

TEST(MainWindow, ANameWithoutADateIsExplainedInCzech) {
  TempDir dir;
  TZipFile zip;
  zip.Open(T(dir / "exports.zip"), zmWrite);
  zip.Add(TBytes("x"), u"readme.txt");
  zip.Close();
  TForm_Quenmar form(T(dir.path()));
  form.Button(kStart)->click();
  EXPECT_EQ(form.Edit(kStatusLine)->text().toStdString(),
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
