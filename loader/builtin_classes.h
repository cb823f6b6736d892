// The built-in classes that start-up creates before the image's classes.
#pragma once

#include "core/runtime_layout.h"

// Object, the exception classes, Application, SystemClass, Timer, MouseCursor and the classes of
// the project items whose behaviour later subsystems complete (Picture, Movie, Sound, Database,
// and the two member-less classes of item kinds 7 and 8).
void RegisterCoreBuiltInClasses();

enum class ProjectItemClass { Picture, Movie, Sound, Kind7, Kind8, Database };
ClassRecord* ClassOfProjectItem(ProjectItemClass which);
