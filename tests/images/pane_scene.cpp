// The engine of the pane image test: kwrun with one more built-in class, "Sys$PaneScene", whose
// hooks let the application open a window of panes that paint themselves through drawing
// ports, reach the panes' control objects, read pixels and save a screenshot.
#include <cstdint>
#include <string>
#include <vector>

#include "core/class_registry.h"
#include "core/object_model.h"
#include "core/runtime_string.h"
#include "graphics/drawing_port.h"
#include "loader/startup.h"
#include "platform/testing/testing.h"
#include "ui/control_object.h"
#include "ui/pane_state.h"
#include "ui/window_view.h"

namespace {

enum class Look { Card, Target, Cover, Marker };

// A pane window that draws one of four looks through the port it is given.
class ScenePane : public ContainerPane {
 public:
  ScenePane(Pane* parent, PortRect rect, Look look) : ContainerPane({parent, rect, "", "KW_Pane", 0, 0}), look(look) {}
  bool AcceptsFocus() override { return true; }
  void Paint(DrawingPort* port) override {
    const PortRect& r = bounds;
    switch (look) {
      case Look::Card: {
        Fill(port, 0xFFFF80, r);
        PortSetForeColor(port, Color16FromLanguage(0x000000));
        PortSetPenSize(port, 4, 4);
        PortFrameRect(port, r);
        PortDrawText(port, "Panes", 5, r.left + 8, r.top + 20);
        break;
      }
      case Look::Target:
        Fill(port, 0xFFFFFF, r);
        PortSetForeColor(port, Color16FromLanguage(0x0000FF));
        PortFillOval(port, {static_cast<int16_t>(r.top + 5), static_cast<int16_t>(r.left + 5),
                            static_cast<int16_t>(r.bottom - 5), static_cast<int16_t>(r.right - 5)});
        PortSetForeColor(port, Color16FromLanguage(0xFF0000));
        PortSetPenSize(port, 3, 3);
        PortMoveTo(port, r.left, r.bottom - 10);
        PortLineTo(port, r.right, r.bottom - 10);
        break;
      case Look::Cover:
        Fill(port, 0xFFFFFF, r);
        PortSetForeColor(port, Color16FromLanguage(0x00A000));
        PortFillRoundRect(port, r, 20, 20);
        break;
      case Look::Marker:
        Fill(port, 0xFF00FF, r);
        break;
    }
  }
  static void Fill(DrawingPort* port, uint32_t colour, PortRect rect) {
    PortSetForeColor(port, Color16FromLanguage(colour));
    PortFillRect(port, rect);
  }
  Look look;
};

struct Scene {
  WindowView* view = nullptr;
  std::vector<RuntimeObject*> controls;
};

Scene scene;
ClassRecord* controlClass;

// The hooks, called by the application with the scene object first.
int32_t OpenScene(RuntimeObject*) {
  scene.view = new WindowView("Panes", WS_POPUP, 0, 40, 40, 240, 160);
  const struct {
    PortRect rect;
    Look look;
  } panes[] = {{{10, 10, 110, 150}, Look::Card},
               {{20, 120, 100, 230}, Look::Target},
               {{60, 60, 140, 180}, Look::Cover},
               {{120, 10, 150, 50}, Look::Marker}};
  for (const auto& pane : panes) {
    RuntimeObject* object = NewInstance(controlClass);
    ControlObject* control = AsControl(object);
    control->pane = new ScenePane(scene.view, pane.rect, pane.look);
    control->view = scene.view;
    control->bounds = pane.rect;
    control->visible = control->enabled = 1;
    scene.controls.push_back(object);
  }
  ShowWindow(scene.view->handle, SW_SHOW);
  scene.view->Activate();
  kwtesting::PumpMessages();
  return 1;
}

RuntimeObject* SceneControl(RuntimeObject*, int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(scene.controls.size())) return nullptr;
  RuntimeLockObject(scene.controls[static_cast<size_t>(index)]);
  return scene.controls[static_cast<size_t>(index)];
}

// The focused control's index, or -1.
int32_t FocusedControl(RuntimeObject*) {
  for (size_t index = 0; index < scene.controls.size(); index++)
    if (AsControl(scene.controls[index])->pane == FocusedPane()) return static_cast<int32_t>(index);
  return -1;
}

// A pixel of the window's client area as 0x00RRGGBB, after the pending painting.
int32_t ScenePixel(RuntimeObject*, int32_t x, int32_t y) {
  kwtesting::PumpMessages();
  uint32_t pixel = 0;
  return kwtesting::ReadWindowPixel(scene.view->handle, x, y, &pixel) ? static_cast<int32_t>(pixel) : -1;
}

// Whether a rectangle of the client area holds black pixels (text was drawn there).
int32_t SceneHasInk(RuntimeObject*, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  kwtesting::PumpMessages();
  for (int32_t y = top; y < bottom; y++) {
    for (int32_t x = left; x < right; x++) {
      uint32_t pixel = 0xFFFFFF;
      if (kwtesting::ReadWindowPixel(scene.view->handle, x, y, &pixel) && pixel == 0) return 1;
    }
  }
  return 0;
}

// Saves the window as panes.png in the current directory (the test's output folder).
int32_t SaveScene(RuntimeObject*) {
  kwtesting::PumpMessages();
  return kwtesting::SaveWindowPng(scene.view->handle, "panes.png");
}

int32_t CloseScene(RuntimeObject*) {
  for (RuntimeObject* control : scene.controls) {
    AsControl(control)->pane = nullptr;
    RuntimeUnlockObject(control);
  }
  scene.controls.clear();
  scene.view->CloseView();
  scene.view = nullptr;
  return 1;
}

void RegisterSceneClasses() {
  controlClass = DefineBuiltInClass("Sys$SceneControl", nullptr, sizeof(ControlObject));
  ClassRecord* sceneClass = DefineBuiltInClass("Sys$PaneScene", nullptr, sizeof(RuntimeObject));
  const struct {
    const char* name;
    void* entry;
  } hooks[] = {{"Open", CodeAddress(OpenScene)},       {"Control", CodeAddress(SceneControl)},
               {"Pixel", CodeAddress(ScenePixel)},     {"Save", CodeAddress(SaveScene)},
               {"Close", CodeAddress(CloseScene)},     {"Focused", CodeAddress(FocusedControl)},
               {"HasInk", CodeAddress(SceneHasInk)}};
  uint32_t identifier = 1;
  for (const auto& hook : hooks) {
    RuntimeString* name = StringFromCString(hook.name);
    AddEventHandler(sceneClass, name, hook.entry, identifier++);
    StringRelease(name);
  }
}

// Installed before the process entry runs: the start-up registers the class after the engine's own.
const bool installed = [] {
  TheStartupHooks().registerBuiltInClasses = RegisterSceneClasses;
  return true;
}();

}  // namespace
