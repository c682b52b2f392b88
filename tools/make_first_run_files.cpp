// Build-time tool: makes the files of the program folder that a new installation needs and that
// are made rather than copied: the empty ranking file, the two answer tones and the splash picture.
//   kelvara_make_first_run_files <program folder>
// A file that exists is left alone: the user may have replaced it. Each file is written under a
// temporary name and moved into place whole.
#include <sndfile.h>

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>
#include <vector>

#include "services/point_info_store.h"

namespace {

constexpr int kRate = 22050;

// A note of a bell-like tone: the fundamental and a soft octave, fading out.
void addNote(std::vector<short>& samples, double frequency, double seconds, double loudness) {
  const int count = static_cast<int>(seconds * kRate);
  for (int i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double attack = std::min(1.0, t / 0.005);
    const double envelope = attack * std::exp(-t * 6.0 / seconds);
    const double wave = std::sin(2 * std::numbers::pi * frequency * t) + 0.3 * std::sin(4 * std::numbers::pi * frequency * t);
    samples.push_back(static_cast<short>(loudness * envelope * wave / 1.3 * 32767));
  }
}

// Two low, slightly detuned notes beating against each other: a short dull buzz.
std::vector<short> incorrectTone() {
  std::vector<short> samples;
  const int count = static_cast<int>(0.4 * kRate);
  for (int i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double envelope = std::min(1.0, t / 0.01) * std::min(1.0, (0.4 - t) / 0.08);
    double wave = 0;
    for (double frequency : {146.8, 155.6})
      for (int harmonic = 1; harmonic <= 5; harmonic += 2)
        wave += std::sin(2 * std::numbers::pi * frequency * harmonic * t) / harmonic;
    samples.push_back(static_cast<short>(0.3 * envelope * wave / 2.6 * 32767));
  }
  return samples;
}

std::vector<short> correctTone() {
  std::vector<short> samples;
  addNote(samples, 1318.5, 0.09, 0.5);
  addNote(samples, 1760.0, 0.25, 0.5);
  return samples;
}

bool writeWav(const QString& path, const std::vector<short>& samples) {
  SF_INFO info{};
  info.samplerate = kRate;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* file = sf_open(path.toUtf8().constData(), SFM_WRITE, &info);
  if (!file) return false;
  const sf_count_t written = sf_write_short(file, samples.data(), static_cast<sf_count_t>(samples.size()));
  return sf_close(file) == 0 && written == static_cast<sf_count_t>(samples.size());
}

bool writeEmptyRankingFile(const QString& path) { return PointInfoStore().save(path.toStdWString()); }

bool writeSplash(const QString& path) {
  QImage image(400, 200, QImage::Format_RGB32);
  QPainter painter(&image);
  QLinearGradient sky(0, 0, 0, 200);
  sky.setColorAt(0, QColor(30, 70, 150));
  sky.setColorAt(1, QColor(226, 241, 255));
  painter.fillRect(image.rect(), sky);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  QFont title("IPAPGothic");
  title.setPixelSize(56);
  title.setBold(true);
  painter.setFont(title);
  painter.setPen(Qt::white);
  painter.drawText(QRect(0, 30, 400, 80), Qt::AlignCenter, "Kelvara");
  QFont subtitle("IPAPGothic");
  subtitle.setPixelSize(18);
  painter.setFont(subtitle);
  painter.setPen(QColor(20, 40, 90));
  painter.drawText(QRect(0, 110, 400, 30), Qt::AlignCenter, QString::fromWCharArray(L"覚えるまで、くりかえし。"));
  painter.end();
  return image.save(path, "BMP");
}

// Makes the file unless it exists; false when it had to be made and could not be.
bool makeIfMissing(const QString& path, const std::function<bool(const QString&)>& make) {
  if (QFile::exists(path)) return true;
  const QString partial = path + ".part";
  if (make(partial) && QFile::rename(partial, path)) return true;
  QFile::remove(partial);
  std::fprintf(stderr, "kelvara_make_first_run_files: cannot make %s\n", path.toUtf8().constData());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: kelvara_make_first_run_files <program folder>\n");
    return 2;
  }
  // Text is drawn without a display.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  const QString folder = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(folder + "/data");
  bool made = makeIfMissing(folder + "/data/irank.dat", writeEmptyRankingFile);
  made = makeIfMissing(folder + "/data/Correct.wav", [](const QString& path) { return writeWav(path, correctTone()); }) && made;
  made = makeIfMissing(folder + "/data/Incorrect.wav", [](const QString& path) { return writeWav(path, incorrectTone()); }) && made;
  made = makeIfMissing(folder + "/splash.bmp", writeSplash) && made;
  return made ? 0 : 1;
}
