// GDI: filling the whole 1024 x 768 surface with FillRect against memset of the same pixels,
// and drawing 100,000 short strings with TextOutA with the glyph cache and without it.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

#include "platform/gdi/font_engine.h"
#include "platform/win32.h"

namespace {

constexpr int Width = 1024, Height = 768;
constexpr int Strings = 100000;

struct Screen {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  uint32_t* bits = nullptr;
  Screen() {
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), Width, -Height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    SelectObject(dc, bitmap);
  }
};

Screen& TheScreen() {
  static Screen screen;
  return screen;
}

void FillRectWholeSurface(benchmark::State& state) {
  Screen& screen = TheScreen();
  HBRUSH brushes[] = {CreateSolidBrush(RGB(255, 255, 255)), CreateSolidBrush(RGB(1, 2, 3))};
  const RECT all = {0, 0, Width, Height};
  int turn = 0;
  for (auto _ : state) {
    FillRect(screen.dc, &all, brushes[turn++ & 1]);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * Width * Height * 4);
  for (HBRUSH brush : brushes) DeleteObject(brush);
}

void MemsetWholeSurface(benchmark::State& state) {
  Screen& screen = TheScreen();
  int turn = 0;
  for (auto _ : state) {
    memset(screen.bits, (turn++ & 1) ? 0xFF : 0x01, static_cast<size_t>(Width) * Height * 4);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * Width * Height * 4);
}

// 100,000 strings of 8 to 12 characters across the surface, in one font.
void DrawShortStrings(benchmark::State& state, const char* face, int height, bool cached) {
  Screen& screen = TheScreen();
  HFONT font = CreateFontA(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, face);
  HGDIOBJ previous = SelectObject(screen.dc, font);
  SetBkMode(screen.dc, TRANSPARENT);
  kwplatform::SetGlyphCacheEnabled(cached);
  char text[32];
  for (auto _ : state) {
    for (int i = 0; i < Strings; i++) {
      const int length = snprintf(text, sizeof text, "Item %d", i);
      TextOutA(screen.dc, (i * 37) % (Width - 80), (i * 13) % (Height - 20), text, length);
    }
  }
  kwplatform::SetGlyphCacheEnabled(true);
  state.SetItemsProcessed(state.iterations() * Strings);
  SelectObject(screen.dc, previous);
  DeleteObject(font);
}

void TextOutBitmapFaceCached(benchmark::State& state) { DrawShortStrings(state, "MS Sans Serif", -11, true); }
void TextOutBitmapFaceUncached(benchmark::State& state) { DrawShortStrings(state, "MS Sans Serif", -11, false); }
void TextOutOutlineFaceCached(benchmark::State& state) { DrawShortStrings(state, "Arial", -13, true); }
void TextOutOutlineFaceUncached(benchmark::State& state) { DrawShortStrings(state, "Arial", -13, false); }

}  // namespace

BENCHMARK(FillRectWholeSurface)->Unit(benchmark::kMicrosecond);
BENCHMARK(MemsetWholeSurface)->Unit(benchmark::kMicrosecond);
BENCHMARK(TextOutBitmapFaceCached)->Unit(benchmark::kMillisecond);
BENCHMARK(TextOutBitmapFaceUncached)->Unit(benchmark::kMillisecond);
BENCHMARK(TextOutOutlineFaceCached)->Unit(benchmark::kMillisecond);
BENCHMARK(TextOutOutlineFaceUncached)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
