#include "ui/control_services.h"

#include <gtest/gtest.h>

#include <cstddef>

#include "core/class_registry.h"
#include "core/object_model.h"
#include "core/runtime_string.h"
#include "system/mouse_cursor.h"
#include "ui/control_object.h"
#include "ui/mirrored_properties.h"
#include "ui_test_support.h"

namespace {

using uitest::Log;
using uitest::PaneTest;
using uitest::TestPane;

// A control class with mirrored fields, and a pane with the matching fields.
struct MirroredControl {
  ControlObject control;
  int32_t colour;
  int16_t border;
  uint8_t flag;
  RuntimeString* text;
  RuntimeObject* object;
};

struct MirroredPane : TestPane {
  using TestPane::TestPane;
  int32_t colour = 0;
  int16_t border = 0;
  uint8_t flag = 0;
  RuntimeString* text = nullptr;
  RuntimeObject* object = nullptr;
};

class ControlServicesTest : public PaneTest {
 protected:
  void SetUp() override {
    PaneTest::SetUp();
    pane = new MirroredPane(view, "pane", {10, 20, 30, 60});
    control.control.pane = pane;
    control.control.bounds = pane->bounds;
    Log().clear();
  }
  RuntimeObject* Object() { return reinterpret_cast<RuntimeObject*>(&control); }
  // The parameter word: the object field, then the pane field under both layouts.
  template <typename Field>
  uint32_t Parameter(Field MirroredControl::*objectField, Field MirroredPane::*paneField) {
    auto objectOffset = static_cast<uint32_t>(reinterpret_cast<char*>(&(control.*objectField)) -
                                              reinterpret_cast<char*>(&control));
    auto paneOffset = static_cast<uint32_t>(reinterpret_cast<char*>(&(pane->*paneField)) -
                                            reinterpret_cast<char*>(static_cast<Pane*>(pane)));
    return objectOffset | paneOffset << 10 | paneOffset << 20;
  }
  MirroredControl control{};
  MirroredPane* pane = nullptr;
};

TEST_F(ControlServicesTest, PositionsMoveOrResizeTheBoundsAndThePane) {
  struct Case {
    int32_t selector, value;
    PortRect bounds;
  };
  const Case cases[] = {
      {LeftSelector, 30, {10, 30, 30, 70}},
      {TopSelector, 0, {0, 30, 20, 70}},
      {WidthSelector, 100, {0, 30, 20, 130}},
      {HeightSelector, 5, {0, 30, 5, 130}},
  };
  for (const Case& c : cases) {
    ctlPosSetter(Object(), c.selector, c.value);
    EXPECT_EQ(control.control.bounds, c.bounds) << c.selector;
    EXPECT_EQ(pane->bounds, c.bounds);
    EXPECT_EQ(ctlPosGetter(Object(), c.selector), c.value);
  }
  EXPECT_EQ(pane->setBoundsCalls, 4);
}

TEST_F(ControlServicesTest, SettingAPositionToItsValueDoesNotMoveOrRepaint) {
  ctlPosSetter(Object(), LeftSelector, 20);
  ctlPosSetter(Object(), WidthSelector, 40);
  EXPECT_EQ(pane->setBoundsCalls, 0);
  EXPECT_EQ(pane->invalidations, 0);
}

TEST_F(ControlServicesTest, WithoutAPaneOnlyTheObjectChanges) {
  control.control.pane = nullptr;
  ctlPosSetter(Object(), LeftSelector, 0);
  ControlVisibleSetter(Object(), 0, false);
  controlEnabledSetter(Object(), 0, false);
  paneIntSetter(Object(), Parameter(&MirroredControl::colour, &MirroredPane::colour), 7);
  EXPECT_EQ(control.control.bounds.left, 0);
  EXPECT_FALSE(controlVisibleGetter(Object(), 0));
  EXPECT_FALSE(controlEnabledGetter(Object(), 0));
  EXPECT_EQ(control.colour, 7);
  EXPECT_EQ(pane->bounds.left, 20);
  EXPECT_TRUE(pane->visible);
  EXPECT_EQ(pane->colour, 0);
}

TEST_F(ControlServicesTest, VisibleAndEnabledNotifyThePane) {
  ControlVisibleSetter(Object(), 0, false);
  controlEnabledSetter(Object(), 0, false);
  ControlVisibleSetter(Object(), 0, true);
  EXPECT_EQ(Log(), (std::vector<std::string>{"pane notify 8", "pane hidden", "pane notify 6", "pane notify 7", "pane shown"}));
  EXPECT_TRUE(pane->visible);
  EXPECT_FALSE(pane->enabled);
  EXPECT_TRUE(controlVisibleGetter(Object(), 0));
  EXPECT_FALSE(controlEnabledGetter(Object(), 0));
}

TEST_F(ControlServicesTest, LockFlagsArePlainBytes) {
  using Getter = bool (*)(RuntimeObject*, int32_t);
  using Setter = void (*)(RuntimeObject*, int32_t, bool);
  const struct {
    Getter get;
    Setter set;
    uint8_t ControlObject::*field;
  } locks[] = {{controlLockLeftGetter, controlLockLeftSetter, &ControlObject::lockLeft},
               {controlLockTopGetter, controlLockTopSetter, &ControlObject::lockTop},
               {controlLockRightGetter, controlLockRightSetter, &ControlObject::lockRight},
               {controlLockBottomGetter, controlLockBottomSetter, &ControlObject::lockBottom}};
  for (const auto& lock : locks) {
    lock.set(Object(), 0, true);
    EXPECT_EQ(control.control.*lock.field, 1);
    EXPECT_TRUE(lock.get(Object(), 0));
    lock.set(Object(), 0, false);
    EXPECT_FALSE(lock.get(Object(), 0));
  }
  EXPECT_EQ(pane->invalidations, 0);
}

TEST_F(ControlServicesTest, MirroredValuesReadFromThePaneAndWriteBoth) {
  uint32_t colour = Parameter(&MirroredControl::colour, &MirroredPane::colour);
  uint32_t border = Parameter(&MirroredControl::border, &MirroredPane::border);
  uint32_t flag = Parameter(&MirroredControl::flag, &MirroredPane::flag);
  paneIntSetter(Object(), colour, 0x123456);
  paneShortSetter(Object(), border, -3);
  paneBoolSetter(Object(), flag, true);
  EXPECT_EQ(pane->colour, 0x123456);
  EXPECT_EQ(control.colour, 0x123456);
  EXPECT_EQ(pane->border, -3);
  EXPECT_EQ(control.border, -3);
  EXPECT_EQ(control.flag, 1);
  EXPECT_EQ(pane->invalidations, 3);
  pane->colour = 99;  // the pane's value is the one read
  EXPECT_EQ(paneIntGetter(Object(), colour), 99);
  EXPECT_EQ(paneShortGetter(Object(), border), -3);
  EXPECT_TRUE(paneBoolGetter(Object(), flag));
}

TEST_F(ControlServicesTest, MirroredStringsAndObjectsKeepAReferenceInEachSlot) {
  uint32_t text = Parameter(&MirroredControl::text, &MirroredPane::text);
  RuntimeString* value = StringFromCString("caption");
  paneStringSetter(Object(), text, value);
  EXPECT_EQ(value->count, 3);
  RuntimeString* read = paneStringGetter(Object(), text);
  EXPECT_EQ(read, value);
  StringRelease(read);
  paneStringSetter(Object(), text, nullptr);
  EXPECT_EQ(value->count, 1);
  StringRelease(value);

  RegisterMouseCursorClass();
  RuntimeObject* object = NewMouseCursor(nullptr);
  uint32_t slot = Parameter(&MirroredControl::object, &MirroredPane::object);
  paneObjSetter(Object(), slot, object);
  EXPECT_EQ(object->count, 3);
  RuntimeObject* got = paneObjGetter(Object(), slot);
  EXPECT_EQ(got, object);
  RuntimeUnlockObject(got);
  paneObjSetter(Object(), slot, nullptr);
  EXPECT_EQ(object->count, 1);
  RuntimeUnlockObject(object);
}

TEST_F(ControlServicesTest, CursorsBalloonHelpAndTheWindowAreKeptWithReferences) {
  RegisterMouseCursorClass();
  HCURSOR wait = LoadCursorA(nullptr, IDC_WAIT);
  RuntimeObject* cursor = NewMouseCursor(wait);
  controlMouseCursorSetter(Object(), 0, cursor);
  EXPECT_EQ(pane->cursor, wait);
  EXPECT_EQ(cursor->count, 2);
  controlMouseCursorSetter(Object(), 0, nullptr);
  EXPECT_EQ(pane->cursor, nullptr);
  EXPECT_EQ(cursor->count, 1);
  RuntimeUnlockObject(cursor);

  RuntimeString* help = StringFromCString("help");
  controlBalloonHelpSetter(Object(), 0, help);
  controlDisabledBalloonHelpSetter(Object(), 0, help);
  EXPECT_EQ(help->count, 3);
  controlBalloonHelpSetter(Object(), 0, nullptr);
  controlDisabledBalloonHelpSetter(Object(), 0, nullptr);
  StringRelease(help);

  RuntimeObject* window = NewMouseCursor(nullptr);  // any object stands for the window
  control.control.window = window;
  RuntimeObject* got = controlWindowGetter(Object(), 0);
  EXPECT_EQ(got, window);
  EXPECT_EQ(window->count, 2);
  RuntimeUnlockObject(got);
  RuntimeUnlockObject(window);
}

TEST_F(ControlServicesTest, MousePositionIsInTheWindowsClientCoordinates) {
  control.control.view = view;
  SetCursorPos(150, 130);
  EXPECT_EQ(controlMouseXGetter(Object(), 0), 50);
  EXPECT_EQ(controlMouseYGetter(Object(), 0), 30);
}

}  // namespace
