#include "text_contrast.h"

#include "platform/drawing/drawn_text_bookkeeping.h"
#include "platform/drawing/readable_colour.h"

#include <QApplication>
#include <QHash>
#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

namespace apptest {
namespace {

platform::COLORREF ref(const QColor& c) { return platform::rgb(c.red(), c.green(), c.blue()); }

// The colour most pixels of `area` have, leaving out those close to the text's own colour (a
// glyph's solid strokes): what the text lies on.
QColor groundIn(const QImage& image, const QRect& area, const QColor& text) {
  QHash<QRgb, int> counts;
  const QRect inside = area.intersected(image.rect());
  for (int y = inside.top(); y <= inside.bottom(); ++y)
    for (int x = inside.left(); x <= inside.right(); ++x) {
      const QColor pixel = image.pixelColor(x, y);
      const int distance = std::abs(pixel.red() - text.red()) + std::abs(pixel.green() - text.green()) +
                           std::abs(pixel.blue() - text.blue());
      if (distance > 24) ++counts[pixel.rgb() | 0xff000000];
    }
  QRgb most = text.rgb();
  int best = 0;
  for (auto it = counts.cbegin(); it != counts.cend(); ++it)
    if (it.value() > best) {
      best = it.value();
      most = it.key();
    }
  return QColor::fromRgb(most);
}

struct RecordedText {
  QString text;
  QColor colour;
  QRect area;  // in the rendered widget's pixels
  const QImage* ground = nullptr;
};

// Texts the toolkit's painter draws, with where they go; everything else it drops. Declaring every
// feature keeps the painter from turning text into paths.
class TextRecordingEngine : public QPaintEngine {
 public:
  explicit TextRecordingEngine(std::vector<RecordedText>& texts) : QPaintEngine(AllFeatures), texts_(texts) {}
  bool begin(QPaintDevice*) override { return true; }
  bool end() override { return true; }
  void updateState(const QPaintEngineState& state) override {
    if (state.state() & DirtyPen) pen_ = state.pen();
    if (state.state() & DirtyTransform) transform_ = state.transform();
  }
  void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
  void drawPath(const QPainterPath&) override {}
  void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
  void drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) override {}
  void drawTextItem(const QPointF& p, const QTextItem& item) override {
    const QRectF box(p.x(), p.y() - item.ascent(), item.width(), item.ascent() + item.descent());
    const QString text = item.text();
    if (text.trimmed().isEmpty()) return;
    const QRect area = transform_.mapRect(box).toAlignedRect();
    // A text the widget's clip keeps off the screen (a sheet scrolled past its end) is not seen.
    if (const QRegion shownPart = systemClip(); !shownPart.isEmpty() && !shownPart.intersects(area)) return;
    // A line comes in runs of one script each (kana, kanji, Latin): runs that go on where the last
    // one stopped, in the same colour, are one text.
    if (!texts_.empty()) {
      RecordedText& last = texts_.back();
      if (last.colour == pen_.color() && last.area.top() == area.top() && std::abs(last.area.right() + 1 - area.left()) <= 1) {
        last.text += text;
        last.area = last.area.united(area);
        return;
      }
    }
    texts_.push_back({text, pen_.color(), area});
  }
  Type type() const override { return User; }

 private:
  std::vector<RecordedText>& texts_;
  QPen pen_;
  QTransform transform_;
};

class TextRecordingDevice : public QPaintDevice {
 public:
  TextRecordingDevice(QSize size, std::vector<RecordedText>& texts) : size_(size), engine_(texts) {}
  QPaintEngine* paintEngine() const override { return &engine_; }

 protected:
  int metric(PaintDeviceMetric metric) const override {
    switch (metric) {
      case PdmWidth: return size_.width();
      case PdmHeight: return size_.height();
      case PdmWidthMM: return size_.width() * 254 / 960;
      case PdmHeightMM: return size_.height() * 254 / 960;
      case PdmNumColors: return 0;
      case PdmDepth: return 32;
      case PdmDpiX: case PdmDpiY: case PdmPhysicalDpiX: case PdmPhysicalDpiY: return 96;
      case PdmDevicePixelRatio: return 1;
      case PdmDevicePixelRatioScaled: return static_cast<int>(devicePixelRatioFScale());
      default: return 0;
    }
  }

 private:
  QSize size_;
  mutable TextRecordingEngine engine_;
};

// Texts drawn through a device context on this thread while it lives, measured on the spot: the
// device context's image is the one the text goes on. Watches nest.
class DeviceContextTexts : public platform::drawntext::DrawnTextObserver {
 public:
  explicit DeviceContextTexts(std::vector<DrawnText>& texts)
      : texts_(texts), previous_(std::exchange(platform::drawntext::observer, this)) {}
  ~DeviceContextTexts() override { platform::drawntext::observer = previous_; }
  DeviceContextTexts(const DeviceContextTexts&) = delete;
  DeviceContextTexts& operator=(const DeviceContextTexts&) = delete;
  void aboutToDraw(const std::wstring& text, const QRect& area, platform::COLORREF colour,
                   const QImage& target) override {
    const QString shown = QString::fromStdWString(text).trimmed();
    if (shown.isEmpty() || area.isEmpty()) return;
    const QColor pen = platform::toQColor(colour);
    const QColor ground = groundIn(target, area, pen);
    texts_.push_back({shown, pen, ground, contrastOf(pen, ground)});
  }

 private:
  std::vector<DrawnText>& texts_;
  platform::drawntext::DrawnTextObserver* previous_;
};

}  // namespace

double contrastOf(const QColor& text, const QColor& ground) { return platform::contrastRatio(ref(text), ref(ground)); }

std::vector<DrawnText> textsDrawn(QWidget* widget) {
  std::vector<DrawnText> texts;
  std::vector<RecordedText> painted;
  {
    DeviceContextTexts watcher(texts);
    TextRecordingDevice device(widget->size(), painted);
    widget->render(&device);
  }
  // What lies under the painter's texts: the widget as shown.
  QImage shown(widget->size(), QImage::Format_RGB32);
  shown.fill(Qt::magenta);
  widget->render(&shown);
  for (const RecordedText& text : painted) {
    const QColor ground = groundIn(shown, text.area, text.colour);
    texts.push_back({text.text.trimmed(), text.colour, ground, contrastOf(text.colour, ground)});
  }
  return texts;
}

QStringList textsStandingOutLessThan(QWidget* widget, double least) {
  QStringList problems;
  for (const DrawnText& text : textsDrawn(widget))
    if (text.contrast < least)
      problems << QString("%1 \"%2\": %3 on %4 is %5:1")
                      .arg(widget->objectName().isEmpty() ? widget->metaObject()->className() : widget->objectName(),
                           text.text, text.colour.name(), text.ground.name())
                      .arg(text.contrast, 0, 'f', 2);
  return problems;
}

double markContrast(const QImage& mark, const QColor& ground) {
  const QImage pixels = mark.convertToFormat(QImage::Format_ARGB32);
  double most = 1.0;
  for (int y = 0; y < pixels.height(); ++y)
    for (int x = 0; x < pixels.width(); ++x) {
      const QRgb pixel = pixels.pixel(x, y);
      const double cover = qAlpha(pixel) / 255.0;
      const auto blend = [cover](int ink, int under) { return qRound(ink * cover + under * (1 - cover)); };
      const QColor shown(blend(qRed(pixel), ground.red()), blend(qGreen(pixel), ground.green()),
                         blend(qBlue(pixel), ground.blue()));
      most = std::max(most, contrastOf(shown, ground));
    }
  return most;
}

namespace {

// The roles a desktop's scheme sets; highlight, link and bright text are the same in both of the
// desktop's schemes the tests use.
struct DesktopScheme {
  QColor window, base, alternateBase, button, text, light, midlight, mid, dark, shadow, highlightedText,
      toolTipBase, placeholderText, disabledText;
};

QPalette paletteOf(const DesktopScheme& scheme) {
  QPalette palette;
  palette.setColor(QPalette::Window, scheme.window);
  palette.setColor(QPalette::WindowText, scheme.text);
  palette.setColor(QPalette::Base, scheme.base);
  palette.setColor(QPalette::AlternateBase, scheme.alternateBase);
  palette.setColor(QPalette::Text, scheme.text);
  palette.setColor(QPalette::Button, scheme.button);
  palette.setColor(QPalette::ButtonText, scheme.text);
  palette.setColor(QPalette::BrightText, Qt::white);
  palette.setColor(QPalette::Light, scheme.light);
  palette.setColor(QPalette::Midlight, scheme.midlight);
  palette.setColor(QPalette::Mid, scheme.mid);
  palette.setColor(QPalette::Dark, scheme.dark);
  palette.setColor(QPalette::Shadow, scheme.shadow);
  palette.setColor(QPalette::Highlight, QColor(61, 174, 233));
  palette.setColor(QPalette::HighlightedText, scheme.highlightedText);
  palette.setColor(QPalette::ToolTipBase, scheme.toolTipBase);
  palette.setColor(QPalette::ToolTipText, scheme.text);
  palette.setColor(QPalette::Link, QColor(41, 128, 185));
  palette.setColor(QPalette::PlaceholderText, scheme.placeholderText);
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    palette.setColor(QPalette::Disabled, role, scheme.disabledText);
  return palette;
}

}  // namespace

QPalette darkDesktopPalette() {
  return paletteOf({.window = QColor(49, 54, 59),
                    .base = QColor(35, 38, 41),
                    .alternateBase = QColor(42, 46, 50),
                    .button = QColor(49, 54, 59),
                    .text = QColor(239, 240, 241),
                    .light = QColor(64, 70, 76),
                    .midlight = QColor(56, 62, 67),
                    .mid = QColor(37, 41, 44),
                    .dark = QColor(25, 27, 29),
                    .shadow = QColor(18, 20, 21),
                    .highlightedText = QColor(252, 252, 252),
                    .toolTipBase = QColor(49, 54, 59),
                    .placeholderText = QColor(189, 195, 199),
                    .disabledText = QColor(110, 113, 115)});
}

QPalette darkDesktopPalette(const QColor& base) {
  QPalette palette = darkDesktopPalette();
  palette.setColor(QPalette::Base, base);
  return palette;
}

QPalette greyDesktopPalette(int grey) {
  QPalette palette{QColor(grey, grey, grey)};
  palette.setColor(QPalette::Base, QColor(grey, grey, grey));
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    palette.setColor(role, Qt::white);
  return palette;
}

QPalette darkDesktopPaletteAsStartedUp() {
  QPalette palette = darkDesktopPalette();
  const QColor darker = platform::toQColor(platform::shadeStandingOut(
      ref(palette.color(QPalette::Highlight)), ref(palette.color(QPalette::HighlightedText)),
      platform::kDesktopPairContrast));
  palette.setColor(QPalette::Highlight, darker);
  return palette;
}

QPalette lightDesktopPalette() {
  return paletteOf({.window = QColor(239, 240, 241),
                    .base = QColor(252, 252, 252),
                    .alternateBase = QColor(239, 240, 241),
                    .button = QColor(252, 252, 252),
                    .text = QColor(35, 38, 41),
                    .light = Qt::white,
                    .midlight = QColor(246, 247, 247),
                    .mid = QColor(196, 201, 205),
                    .dark = QColor(136, 142, 147),
                    .shadow = QColor(71, 77, 82),
                    .highlightedText = Qt::white,
                    .toolTipBase = QColor(247, 247, 247),
                    .placeholderText = QColor(112, 125, 138),
                    .disabledText = QColor(160, 164, 167)});
}

ApplicationPaletteScope::ApplicationPaletteScope(const QPalette& palette) : previous_(QApplication::palette()) {
  QApplication::setPalette(palette);
}

ApplicationPaletteScope::~ApplicationPaletteScope() { QApplication::setPalette(previous_); }

void forEachSchemeInTurn(std::initializer_list<NamedScheme> schemes,
                         const std::function<void(const char* name, const QPalette& palette)>& check) {
  std::optional<ApplicationPaletteScope> switched;
  for (const NamedScheme& scheme : schemes) {
    if (switched)
      QApplication::setPalette(scheme.palette);
    else
      switched.emplace(scheme.palette);
    check(scheme.name, scheme.palette);
  }
}

}  // namespace apptest
