#include "app/shell/klv_app.h"

#include "platform/drawing/gdi_types.h"
#include "services/app_settings.h"

void KlvApp::UpdateBackgroundBrush(int colour) {
  if (!settings || settings->useOsDefaultBackgroundColor.value) return;
  backgroundBrush = QBrush(platform::toQColor(static_cast<platform::COLORREF>(colour)));
}

bool KlvApp::LoadWebDictionaries() {
  return settings && webDictionaries.Load(settings->webdicInifilePath.value);
}
