#include "ui/win32/gauge.h"

#include <string>

#include "ui/gauge_rule.h"
#include "ui/win32/top_down_bitmap.h"

namespace quenmar::win32 {
namespace {

struct GaugeState {
  int progress = 0;
  HFONT font = nullptr;
};

COLORREF Ref(GaugeColour colour) { return RGB(colour.red, colour.green, colour.blue); }

void Fill(HDC dc, int left, int top, int right, int bottom, GaugeColour colour) {
  if (right <= left || bottom <= top) return;
  const RECT rect{left, top, right, bottom};
  HBRUSH brush = ::CreateSolidBrush(Ref(colour));
  ::FillRect(dc, &rect, brush);
  ::DeleteObject(brush);
}

// A top-down 32-bit bitmap selected into a memory DC of its own.
class Canvas {
 public:
  Canvas(int width, int height) : dc_(::CreateCompatibleDC(nullptr)) {
    bitmap_ = MakeTopDownBitmap(dc_, width, height, &bits_);
    old_ = ::SelectObject(dc_, bitmap_);
  }
  ~Canvas() {
    ::SelectObject(dc_, old_);
    ::DeleteObject(bitmap_);
    ::DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC Dc() const { return dc_; }
  const uint32_t* Bits() const { return static_cast<const uint32_t*>(bits_); }

 private:
  HDC dc_;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  void* bits_ = nullptr;
};

// Draws the gauge into Dc, which holds a Width x Height picture.
void Draw(HDC dc, int width, int height, int percentage, HFONT font) {
  Fill(dc, 0, 0, width, height, kGaugeFrame);
  Fill(dc, 1, 1, width - 1, height - 1, kGaugeBack);
  Fill(dc, 1, 1, BarEnd(percentage, width), height - 1, kGaugeBar);

  // The text inverts what it covers: drawn white on black beside the picture, then
  // laid over it with XOR.
  Canvas text(width, height);
  Fill(text.Dc(), 0, 0, width, height, GaugeColour{0, 0, 0});
  HGDIOBJ oldFont = ::SelectObject(text.Dc(), font != nullptr ? font : ::GetStockObject(SYSTEM_FONT));
  ::SetTextColor(text.Dc(), RGB(255, 255, 255));
  ::SetBkMode(text.Dc(), TRANSPARENT);
  const Text label = GaugeText(percentage);
  RECT rect{0, 0, width, height};
  ::DrawTextW(text.Dc(), reinterpret_cast<const wchar_t*>(label.c_str()), static_cast<int>(label.size()), &rect,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  ::SelectObject(text.Dc(), oldFont);
  ::BitBlt(dc, 0, 0, width, height, text.Dc(), 0, 0, SRCINVERT);
}

void Paint(HWND window, const GaugeState& state) {
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(window, &paint);
  RECT client;
  ::GetClientRect(window, &client);
  const int width = client.right, height = client.bottom;
  if (width > 0 && height > 0) {
    Canvas picture(width, height);
    Draw(picture.Dc(), width, height, ShownPercentage(state.progress), state.font);
    ::BitBlt(dc, 0, 0, width, height, picture.Dc(), 0, 0, SRCCOPY);
  }
  ::EndPaint(window, &paint);
}

LRESULT CALLBACK GaugeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<GaugeState*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_NCCREATE:
      ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new GaugeState));
      break;
    case WM_NCDESTROY:
      delete state;
      ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      break;
    case WM_SETFONT:
      if (state) state->font = reinterpret_cast<HFONT>(wParam);
      if (state && LOWORD(lParam)) ::InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_GETFONT:
      return state ? reinterpret_cast<LRESULT>(state->font) : 0;
    case kGaugeSetProgress: {
      if (!state) return 0;
      const int progress = ClampedProgress(static_cast<int>(static_cast<INT_PTR>(wParam)));
      const bool shownChanges = ShownPercentage(progress) != ShownPercentage(state->progress);
      state->progress = progress;
      if (shownChanges && ::IsWindowVisible(window)) {
        ::InvalidateRect(window, nullptr, FALSE);
        ::UpdateWindow(window);
      }
      return 0;
    }
    case kGaugeGetProgress:
      return state ? state->progress : 0;
    case WM_ERASEBKGND:
      return 1;  // the paint covers every pixel
    case WM_PAINT:
      if (state) {
        Paint(window, *state);
        return 0;
      }
      break;
    default:
      break;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

void RegisterGaugeClass(HINSTANCE instance) {
  WNDCLASSEXW gauge{};
  gauge.cbSize = sizeof gauge;
  gauge.lpfnWndProc = GaugeProc;
  gauge.hInstance = instance;
  gauge.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  gauge.lpszClassName = kGaugeClass;
  WNDCLASSEXW existing{};
  if (!::GetClassInfoExW(instance, kGaugeClass, &existing)) ::RegisterClassExW(&gauge);
}

GaugeImage RenderGauge(int width, int height, int percentage, HFONT font) {
  GaugeImage image;
  if (width <= 0 || height <= 0) return image;
  Canvas picture(width, height);
  Draw(picture.Dc(), width, height, percentage, font);
  ::GdiFlush();
  image.width = width;
  image.height = height;
  image.pixels.assign(picture.Bits(), picture.Bits() + static_cast<size_t>(width) * static_cast<size_t>(height));
  for (uint32_t& pixel : image.pixels) pixel &= 0xFFFFFF;
  return image;
}

}  // namespace quenmar::win32
