/* Panes in a window, drawn through drawing ports: the application moves one control, hides
 * another, focuses a third and repaints, then checks pixels and leaves a screenshot. */
#include "image_services.h"

void ctlPosSetter(void* control, int32_t selector, int32_t value);
int32_t ctlPosGetter(void* control, int32_t selector);
void ControlVisibleSetter(void* control, int32_t parameter, _Bool visible);
void RuntimeSetFocus(void* control);
void RuntimeControlRefresh(void* control);

KW_STRING(scene_name, "Sys$PaneScene");
KW_CLASS_RECORD(scene_class, KW_EXISTING_CLASS(&scene_name));
KW_PROJECT(KW_LIST(scene_class), KW_LIST());

enum { Open = 1, Control, Pixel, Save, Close, Focused, HasInk };
typedef int32_t (*Hook)(void* scene, ...);

static void* scene;

static int32_t Call(int hook) { return ((Hook)RuntimeFindHookCode(scene, hook))(scene); }

/* Appends the decimal digits of 0 <= value < 1000. */
static int AppendNumber(char* text, int length, int32_t value) {
  if (value >= 100) text[length++] = (char)('0' + value / 100);
  if (value >= 10) text[length++] = (char)('0' + value / 10 % 10);
  text[length++] = (char)('0' + value % 10);
  return length;
}

/* Writes the label and the pixel's red, green and blue. */
static void TracePixel(const char* label, int32_t x, int32_t y) {
  int32_t pixel = ((Hook)RuntimeFindHookCode(scene, Pixel))(scene, x, y);
  char buffer[80];
  int length = 1;
  while (*label && length < 60) buffer[length++] = *label++;
  for (int shift = 16; shift >= 0; shift -= 8) {
    length = AppendNumber(buffer, length, (pixel >> shift) & 0xFF);
    buffer[length++] = shift ? ' ' : 0;
  }
  length -= 2; /* the text, without its terminating zero */
  buffer[0] = (char)length;
  RuntimeString text = {2, buffer, length + 2, length}; /* borrowed by lineTrace */
  lineTrace(&text);
}

void kw_main(void) {
  RuntimeInit(kw_project);
  scene = RuntimeNewObject(0);
  Call(Open);
  void* card = ((void* (*)(void*, int32_t))RuntimeFindHookCode(scene, Control))(scene, 0);
  void* cover = ((void* (*)(void*, int32_t))RuntimeFindHookCode(scene, Control))(scene, 2);
  void* marker = ((void* (*)(void*, int32_t))RuntimeFindHookCode(scene, Control))(scene, 3);

  TracePixel("marker before hiding: ", 20, 130);
  ctlPosSetter(cover, 0, 70);
  TraceNumber("cover left: ", ctlPosGetter(cover, 0));
  ControlVisibleSetter(marker, 0, 0);
  RuntimeSetFocus(card);
  TraceNumber("focused control: ", Call(Focused));
  RuntimeControlRefresh(cover);

  TracePixel("card: ", 20, 40);
  TracePixel("card frame: ", 11, 50);
  TracePixel("oval: ", 175, 30);
  TracePixel("line: ", 200, 90);
  TracePixel("cover: ", 120, 100);
  TracePixel("left of the moved cover: ", 65, 120);
  TracePixel("marker after hiding: ", 20, 130);
  TraceNumber("text drawn: ", ((Hook)RuntimeFindHookCode(scene, HasInk))(scene, 16, 14, 70, 32));
  TraceNumber("screenshot saved: ", Call(Save));

  RuntimeUnlockObject(card);
  RuntimeUnlockObject(cover);
  RuntimeUnlockObject(marker);
  Call(Close);
  RuntimeUnlockObject(scene);
}
