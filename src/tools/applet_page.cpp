// Writing the applet page.
#include "tools/applet_page.h"

bool WriteAppletPage(const std::string&, std::string& pagePath) {
  pagePath.clear();
  return false;
}
