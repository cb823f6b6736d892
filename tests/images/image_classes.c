/* Classes from the image: an interface, a class implementing it through its superclass, event
 * handlers with hook identifiers, dispatch tables, and kind-1 records naming engine classes. */
#include "image_services.h"

KW_STRING(object_name, "OBJECT");
KW_STRING(timer_name, "Timer");
KW_STRING(shape_name, "Shape");
KW_STRING(base_name, "Base");
KW_STRING(square_name, "Square");
KW_STRING(area_name, "Area");
KW_STRING(name_name, "Name");
KW_STRING(changed_name, "Changed");

static int BaseArea(void* self) { (void)self; return 10; }
static int BaseName(void* self) { (void)self; return 1; }
static int SquareName(void* self) { (void)self; return 2; }
static int Slot0(void* self) { (void)self; return 100; }
static int Slot1(void* self) { (void)self; return 101; }
static int Changed(void* self) { (void)self; return 7; }

/* 0 Object (engine), 1 Timer (engine), 2 Shape (interface), 3 Base : Object, 4 Square : Base
 * implementing Shape. */
KW_CLASS_RECORD(object_class, KW_EXISTING_CLASS(&object_name));
KW_CLASS_RECORD(timer_class, KW_EXISTING_CLASS(&timer_name));
KW_CLASS_RECORD(shape_class, KW_DEFINED_CLASS(24, &shape_name, -1), KW_NO_CONSTRUCTOR, KW_N(1), KW_LIST(),
                KW_LIST(&area_name, &name_name), KW_TRIPLES(), KW_PAIRS(), KW_LIST());
KW_CLASS_RECORD(base_class, KW_DEFINED_CLASS(32, &base_name, 0), KW_NO_CONSTRUCTOR, KW_N(0), KW_LIST(),
                KW_PAIRS(&area_name, BaseArea, &name_name, BaseName), KW_TRIPLES(&changed_name, Changed, KW_N(5)),
                KW_PAIRS(), KW_LIST(Slot0));
KW_CLASS_RECORD(square_class, KW_DEFINED_CLASS(36, &square_name, 3), KW_NO_CONSTRUCTOR, KW_N(0),
                KW_LIST(KW_N(2)), KW_PAIRS(&name_name, SquareName), KW_TRIPLES(), KW_PAIRS(),
                KW_LIST(Slot0, Slot1));

KW_PROJECT(KW_LIST(object_class, timer_class, shape_class, base_class, square_class), KW_LIST());

typedef int (*Method)(void*);

void kw_main(void) {
  RuntimeInit(kw_project);
  void* square = RuntimeNewObject(4);
  void* timer = RuntimeNewObject(1);
  TraceNumber("square isa Object: ", RuntimeObjectIsa(square, 0));
  TraceNumber("square isa Base: ", RuntimeObjectIsa(square, 3));
  TraceNumber("square isa Timer: ", RuntimeObjectIsa(square, 1));
  TraceNumber("timer isa Timer: ", RuntimeObjectIsa(timer, 1));
  TraceNumber("Shape.Area: ", ((Method)FindInterfaceVTableCode(square, 1, 2))(square));
  TraceNumber("Shape.Name: ", ((Method)FindInterfaceVTableCode(square, 2, 2))(square));
  TraceNumber("slot 1: ", ((Method)FindVTableCode(square, 1))(square));
  TraceNumber("hook 5: ", ((Method)RuntimeFindHookCode(square, 5))(square));
  TraceNumber("no hook 6: ", RuntimeFindHookCode(square, 6) == 0);
  RuntimeUnlockObject(timer);
  RuntimeUnlockObject(square);
  RuntimeRun();
}
