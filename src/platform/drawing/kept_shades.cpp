#include "platform/drawing/kept_shades.h"

#include "platform/drawing/readable_colour.h"
#include "platform/drawing/readable_image.h"
#include "platform/drawing/system_metrics.h"

#include <array>
#include <unordered_map>

namespace platform {
namespace {

// What was made for one system colour, while it has the value `under`.
struct ShadesOnOneColour {
  COLORREF under = 0;
  std::unordered_map<COLORREF, COLORREF> shades;
  std::unordered_map<qint64, QImage> pictures;
};

// Per thread, as a paint may run off the interface thread (a picture printed or saved): no lock
// on a paint's way.
ShadesOnOneColour& shadesOn(int sysColorIndex) {
  thread_local std::array<ShadesOnOneColour, SysColorCount> kept;
  ShadesOnOneColour& on = kept[static_cast<size_t>(sysColorIndex)];
  const COLORREF under = getSysColor(sysColorIndex);
  if (on.under != under) on = ShadesOnOneColour{under, {}, {}};
  return on;
}

bool known(int sysColorIndex) { return sysColorIndex >= 0 && sysColorIndex < SysColorCount; }

}  // namespace

COLORREF keptReadableOnSysColor(COLORREF colour, int sysColorIndex) {
  if (!known(sysColorIndex)) return readableOnSysColor(colour, sysColorIndex);
  auto& shades = shadesOn(sysColorIndex).shades;
  auto found = shades.find(colour);
  if (found == shades.end()) found = shades.emplace(colour, readableOnSysColor(colour, sysColorIndex)).first;
  return found->second;
}

QImage keptInkStandingOutOnSysColor(const QImage& picture, int sysColorIndex) {
  if (!known(sysColorIndex) || picture.isNull()) return inkStandingOutOnSysColor(picture, sysColorIndex);
  auto& pictures = shadesOn(sysColorIndex).pictures;
  auto found = pictures.find(picture.cacheKey());
  if (found == pictures.end())
    found = pictures.emplace(picture.cacheKey(), inkStandingOutOnSysColor(picture, sysColorIndex)).first;
  return found->second;
}

}  // namespace platform
