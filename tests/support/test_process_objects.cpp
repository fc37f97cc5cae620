// The process-wide objects of a test program: those of the program, except
// that the settings record keeps its defaults in memory and never touches the
// registry, so no test program can write over the values a test inspects.
#include "app/instance_channel.h"
#include "app/process_objects.h"
#include "editor/editor_tracker.h"
#include "settings/app_settings.h"

std::string CurrentSourceFile;
AppSettings Settings(AppSettings::Storage::InMemoryOnly);
EditorTracker Editors;
InstanceChannel Channel;
