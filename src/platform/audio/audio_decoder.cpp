#include "platform/audio/audio_decoder.h"

#include <sndfile.h>

#include "platform/trace.h"

namespace platform {

std::unique_ptr<SoundFileDecoder> SoundFileDecoder::open(const std::string& utf8Path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(utf8Path.c_str(), SFM_READ, &info);
  if (!file) {
    trace("audio: cannot open %s: %s\n", utf8Path.c_str(), sf_strerror(nullptr));
    return nullptr;
  }
  if (info.samplerate <= 0 || info.channels <= 0) {
    sf_close(file);
    return nullptr;
  }
  // Integer frames from a floating-point file would otherwise wrap instead of clip.
  sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
  const AudioFormat format{info.samplerate, info.channels, 16};
  return std::unique_ptr<SoundFileDecoder>(new SoundFileDecoder(file, format, info.frames));
}

SoundFileDecoder::SoundFileDecoder(SNDFILE* file, const AudioFormat& format, int64_t frameCount)
    : file_(file), format_(format), frameCount_(frameCount) {}

SoundFileDecoder::~SoundFileDecoder() {
  sf_close(file_);
}

size_t SoundFileDecoder::read(int16_t* frames, size_t capacity) {
  const sf_count_t got = sf_readf_short(file_, frames, static_cast<sf_count_t>(capacity));
  return got > 0 ? static_cast<size_t>(got) : 0;
}

}  // namespace platform
