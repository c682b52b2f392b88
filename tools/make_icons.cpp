// kelvara_make_icons <icon image> <icon theme folder> <size>...
// Writes the program's icon into a freedesktop icon theme folder as <size>x<size>/apps/kelvara.png.
// The icon is pixel art: it is enlarged by whole pixels, and its green background becomes clear.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s <icon image> <icon theme folder> <size>...\n", argv[0]);
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QImage icon(QString::fromLocal8Bit(argv[1]));
  if (icon.isNull()) {
    std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
    return 1;
  }
  icon = icon.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < icon.height(); ++y)
    for (int x = 0; x < icon.width(); ++x)
      if ((icon.pixel(x, y) & 0xFFFFFF) == 0x00FF00) icon.setPixel(x, y, 0);
  for (int i = 3; i < argc; ++i) {
    const int size = std::atoi(argv[i]);
    const QString folder = QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[2])).arg(size);
    if (size <= 0 || !QDir().mkpath(folder) ||
        !icon.scaled(size, size, Qt::KeepAspectRatio, Qt::FastTransformation).save(folder + "/kelvara.png")) {
      std::fprintf(stderr, "%s: cannot write the %s pixel icon into %s\n", argv[0], argv[i], argv[2]);
      return 1;
    }
  }
  return 0;
}
