// The origin of a tool run.
#include "tools/run_origin.h"

#include "common/dbcs_text.h"

RunOrigin OriginOfRun(const std::string& sourcePath) {
  // The tools run in the source's own folder (see ToolScript).
  return {sourcePath, DirectoryOf(sourcePath)};
}
