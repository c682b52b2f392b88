#include "study/window/study_resources.h"

#include "platform/drawing/resource_images.h"

// Resources are registered from the global namespace, as the resource compiler names them.
static void registerStudyResources() { Q_INIT_RESOURCE(study); }

namespace study {

void initStudyResources() {
  static const bool registered = (registerStudyResources(), true);
  (void)registered;
}

QIcon applicationIcon() {
  initStudyResources();
  return QIcon(platform::loadResourceImage(":/study/238.xpm"));
}

}  // namespace study
