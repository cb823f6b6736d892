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

enum { Open = 1, Control, Pixel, Save, Close, Focused };
typedef int32_t (*Hook)(void* scene, ...);

static void* scene;

static int32_t Call(int hook) { return ((Hook)RuntimeFindHookCode(scene, hook))(scene); }

static void TracePixel(const char* label, int32_t x, int32_t y) {
  TraceNumber(label, ((Hook)RuntimeFindHookCode(scene, Pixel))(scene, x, y));
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
  TraceNumber("screenshot saved: ", Call(Save));

  RuntimeUnlockObject(card);
  RuntimeUnlockObject(cover);
  RuntimeUnlockObject(marker);
  Call(Close);
  RuntimeUnlockObject(scene);
}
