// The headless window system: repainting a window full of children, composing the screen, and
// a click through the input path.
#include <benchmark/benchmark.h>

#include "platform/testing/testing.h"
#include "platform/win32.h"

namespace {

LRESULT CALLBACK FillingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    EndPaint(window, &paint);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// A captioned window of 640 x 480 with a grid of 8 x 6 children, shown and painted.
struct Stage {
  HWND window;
  Stage() {
    WNDCLASSA description = {};
    description.lpfnWndProc = FillingProcedure;
    description.lpszClassName = "KWBenchFiller";
    RegisterClassA(&description);
    window = CreateWindowExA(0, "KWBenchFiller", "Bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 640, 480, nullptr,
                             nullptr, nullptr, nullptr);
    for (int row = 0; row < 6; row++)
      for (int column = 0; column < 8; column++)
        CreateWindowExA(0, "KWBenchFiller", "", WS_CHILD | WS_VISIBLE | WS_BORDER, column * 78, row * 72, 70, 64,
                        window, nullptr, nullptr, nullptr);
    kwtesting::PumpMessages();
  }
  ~Stage() {
    DestroyWindow(window);
    UnregisterClassA("KWBenchFiller", nullptr);
  }
};

void RepaintWindowWithChildren(benchmark::State& state) {
  Stage stage;
  for (auto _ : state) {
    InvalidateRect(stage.window, nullptr, TRUE);
    kwtesting::PumpMessages();
  }
}
BENCHMARK(RepaintWindowWithChildren);

void ComposeScreen(benchmark::State& state) {
  Stage stage;
  uint32_t pixel = 0;
  for (auto _ : state) benchmark::DoNotOptimize(kwtesting::ReadScreenPixel(100, 100, &pixel));
}
BENCHMARK(ComposeScreen);

void ClickThroughTheInputPath(benchmark::State& state) {
  Stage stage;
  for (auto _ : state) {
    kwtesting::Click(300, 300);
    kwtesting::PumpMessages();
  }
}
BENCHMARK(ClickThroughTheInputPath);

}  // namespace

BENCHMARK_MAIN();
