// Defines the process-wide objects in one translation unit, so that they are
// constructed in this order before the entry function runs and destroyed in
// the reverse order after it returns: the settings are therefore loaded
// before anything else and saved on every way out of the program, after the
// mailslot has been closed and the editor list emptied.
#include "app/process_objects.h"

#include "app/instance_channel.h"
#include "editor/editor_tracker.h"
#include "settings/app_settings.h"

std::string CurrentSourceFile;
AppSettings Settings;
EditorTracker Editors;
InstanceChannel Channel;
