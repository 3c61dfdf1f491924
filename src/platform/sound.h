#pragma once
#include <string>

namespace nv {

enum SoundFlags : unsigned { kSoundAsync = 0x1, kSoundNoDefault = 0x2, kSoundFileName = 0x20000 };

// Plays WAV files (winmm). A missing file plays nothing when kSoundNoDefault is set.
class Sound {
 public:
  virtual ~Sound() = default;
  virtual void Play(const std::string& path, unsigned flags) = 0;
};

}  // namespace nv
