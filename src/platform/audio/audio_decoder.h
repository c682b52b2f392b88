// Reads a sound file (WAV, MP3 and the other formats the decoder knows) as 16-bit frames.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/audio/audio_format.h"

struct sf_private_tag;  // the decoder library's file handle

namespace platform {

class SoundFileDecoder {
 public:
  // Null when the file is missing or not a sound the decoder understands.
  static std::unique_ptr<SoundFileDecoder> open(const std::string& utf8Path);
  ~SoundFileDecoder();
  SoundFileDecoder(const SoundFileDecoder&) = delete;
  SoundFileDecoder& operator=(const SoundFileDecoder&) = delete;

  // 16-bit frames at the file's own rate and channel count.
  const AudioFormat& format() const { return format_; }
  // The length as the file states it; 0 when it does not know.
  int64_t frameCount() const { return frameCount_; }
  // Fills up to `capacity` interleaved frames; 0 at the end of the sound.
  size_t read(int16_t* frames, size_t capacity);

 private:
  SoundFileDecoder(sf_private_tag* file, const AudioFormat& format, int64_t frameCount);

  sf_private_tag* file_;
  AudioFormat format_;
  int64_t frameCount_;
};

}  // namespace platform
