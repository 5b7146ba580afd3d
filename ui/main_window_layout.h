// What the main window looks like, once for every toolkit: its caption and client
// size, and a table of its controls, each with its role, kind, caption, place at
// 96 DPI, font and place in the tab order. Both windows make their controls by
// walking the table, in its order; nothing here depends on a toolkit.
//
// Places and font sizes are pixels at 96 DPI; a window on a monitor of another DPI
// scales both. A caption's "&" marks the access key of the letter after it.
#pragma once

#include <cstddef>

namespace quenmar {

// What each control is for. The numbering is that of the table's rows.
enum class ControlRole {
  kGauge,        // the progress of a run, hidden while none runs
  kTitle,        // the program's name and version
  kPathLabel,    // "Cesta:", over the path box
  kPurpose,      // what the program does
  kNamesHint,    // which names it converts
  kCopyright,
  kStart,        // runs the conversion; the default button (Enter)
  kCancel,       // closes the window (Escape)
  kPathBox,      // the archive's path, typed or chosen
  kBrowse,       // opens the file dialog
  kStatusLine,   // what the last run did, read-only
  kInfo,         // opens the information page
};
inline constexpr std::size_t kControlCount = 12;

enum class ControlKind {
  kLabel,   // a text; never takes the focus
  kButton,  // a push button with a glyph left of its caption
  kEdit,    // a one-line edit box, scrolling sideways
  kGauge,   // the program's own progress gauge (ui/gauge_rule.h)
};

// The button glyphs (ui/glyphs/): two frames each, normal and disabled.
enum class Glyph { kNone, kStart, kCancel, kBrowse, kInfo };

enum class FontFace {
  kSystem,  // the platform's general font ("System" on Windows, the application font in Qt)
  kArial,   // Arial, or a face of the same metrics where Arial is missing
};

struct FontDescription {
  FontFace face;
  int pixels;  // the character height at 96 DPI
  bool bold;
  friend constexpr bool operator==(const FontDescription&, const FontDescription&) = default;
};

// Left, top, width and height in the window's client area, at 96 DPI.
struct Rect96 {
  int left, top, width, height;
};

struct ControlDescription {
  ControlRole role;
  ControlKind kind;
  const char16_t* caption;  // a label's or button's text, an edit box's first text
  Rect96 place;
  FontDescription font;
  int tabOrder;             // 1 for the first control Tab reaches, ...; 0 for none
  bool centred = false;     // labels: the text centred across the label, else left
  bool defaultButton = false;
  bool readOnly = false;    // edit boxes
  Glyph glyph = Glyph::kNone;
  const char16_t* tooltip = nullptr;
};

// The window itself: its caption, client size and font; the rows of controls
// without a font of their own name the window's.
inline constexpr char16_t kMainWindowCaption[] = u"Quenmar  ";
inline constexpr int kMainWindowClientWidth = 632;
inline constexpr int kMainWindowClientHeight = 299;
inline constexpr FontDescription kWindowFont{FontFace::kSystem, 11, false};

// How long the pointer rests on a control before its tooltip appears, and how long
// the tooltip then stays.
inline constexpr int kTooltipDelayMilliseconds = 500;
inline constexpr int kTooltipShownMilliseconds = 2500;

// The first text of the status line.
inline constexpr char16_t kInitialStatus[] = u"Zvolte ZIP soubor pro konverzi.";

namespace layout_fonts {
inline constexpr FontDescription kHeading{FontFace::kArial, 20, true};
inline constexpr FontDescription kCopyright{FontFace::kArial, 14, true};
inline constexpr FontDescription kPathLabel{FontFace::kSystem, 14, false};
inline constexpr FontDescription kButton{FontFace::kSystem, 13, true};
}  // namespace layout_fonts

// The controls in the order both windows make them, which is also their stacking
// order; among those with a tab order it is the tab order.
inline constexpr ControlDescription kMainWindowControls[kControlCount] = {
    {.role = ControlRole::kGauge, .kind = ControlKind::kGauge, .caption = u"", .place = {6, 214, 575, 24},
     .font = kWindowFont, .tabOrder = 0},
    {.role = ControlRole::kTitle, .kind = ControlKind::kLabel, .caption = u"Quenmar   V 1.0",
     .place = {8, 8, 606, 25}, .font = layout_fonts::kHeading, .tabOrder = 0, .centred = true},
    {.role = ControlRole::kPathLabel, .kind = ControlKind::kLabel, .caption = u"Cesta:", .place = {6, 138, 575, 16},
     .font = layout_fonts::kPathLabel, .tabOrder = 0},
    {.role = ControlRole::kPurpose, .kind = ControlKind::kLabel,
     .caption = u"Program na úpravu názvů datových souborů ", .place = {8, 75, 606, 25},
     .font = layout_fonts::kHeading, .tabOrder = 0, .centred = true},
    {.role = ControlRole::kNamesHint, .kind = ControlKind::kLabel,
     .caption = u"Pro datové exporty s názvy RRRR-MM-DD-…", .place = {8, 103, 606, 25},
     .font = layout_fonts::kHeading, .tabOrder = 0, .centred = true},
    {.role = ControlRole::kCopyright, .kind = ControlKind::kLabel, .caption = u"© 2026 autoři programu Quenmar",
     .place = {12, 48, 606, 25}, .font = layout_fonts::kCopyright, .tabOrder = 0, .centred = true},
    {.role = ControlRole::kStart, .kind = ControlKind::kButton, .caption = u"Start", .place = {147, 246, 106, 28},
     .font = layout_fonts::kButton, .tabOrder = 1, .defaultButton = true, .glyph = Glyph::kStart},
    {.role = ControlRole::kCancel, .kind = ControlKind::kButton, .caption = u"&Zrušit",
     .place = {258, 246, 107, 28}, .font = layout_fonts::kButton, .tabOrder = 2, .glyph = Glyph::kCancel},
    {.role = ControlRole::kPathBox, .kind = ControlKind::kEdit, .caption = u"", .place = {6, 156, 575, 24},
     .font = kWindowFont, .tabOrder = 3},
    {.role = ControlRole::kBrowse, .kind = ControlKind::kButton, .caption = u"", .place = {587, 155, 25, 26},
     .font = kWindowFont, .tabOrder = 4, .glyph = Glyph::kBrowse, .tooltip = u"Procházet"},
    {.role = ControlRole::kStatusLine, .kind = ControlKind::kEdit, .caption = kInitialStatus,
     .place = {6, 186, 575, 24}, .font = kWindowFont, .tabOrder = 5, .readOnly = true},
    {.role = ControlRole::kInfo, .kind = ControlKind::kButton, .caption = u"In&fo", .place = {369, 246, 107, 28},
     .font = kWindowFont, .tabOrder = 6, .glyph = Glyph::kInfo},
};

// The row of Role.
constexpr const ControlDescription& DescriptionOf(ControlRole role) {
  return kMainWindowControls[static_cast<std::size_t>(role)];
}

// Some of the roles, in an order.
struct RoleList {
  ControlRole roles[kControlCount];
  std::size_t count = 0;
  constexpr const ControlRole* begin() const { return roles; }
  constexpr const ControlRole* end() const { return roles + count; }
};

constexpr RoleList TabOrderOf(const ControlDescription (&rows)[kControlCount]) {
  RoleList order{};
  for (const ControlDescription& row : rows) {
    if (row.tabOrder > 0) order.roles[order.count++] = row.role;
  }
  return order;
}

// The roles Tab visits, from the first.
inline constexpr RoleList kTabOrder = TabOrderOf(kMainWindowControls);

namespace layout_checks {
constexpr bool RowsFollowTheRoles() {
  for (std::size_t i = 0; i < kControlCount; ++i) {
    if (static_cast<std::size_t>(kMainWindowControls[i].role) != i) return false;
  }
  return true;
}
// Windows' dialog manager tabs through the controls in the order they were made.
constexpr bool TabOrderFollowsTheRows() {
  int last = 0;
  for (const ControlDescription& row : kMainWindowControls) {
    if (row.tabOrder == 0) continue;
    if (row.tabOrder != last + 1) return false;
    last = row.tabOrder;
  }
  return true;
}
static_assert(RowsFollowTheRoles(), "the table's rows are in the order of ControlRole");
static_assert(TabOrderFollowsTheRows(), "the tab order is the order of the rows that take the focus, from 1");
}  // namespace layout_checks

}  // namespace quenmar
