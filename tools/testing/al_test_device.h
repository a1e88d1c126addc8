// An OpenAL device and context for one test, opened the way the host opens
// them at start-up. Without a backend asked for, OpenAL Soft's null backend
// is used, which mixes in real time into nothing. Used by the audio tests
// of the host and of the audio module.
#pragma once

#include <AL/al.h>
#include <AL/alc.h>

#include <cstdlib>

#include "host/audio.h"

namespace vantor::test {

class AlTestDevice {
 public:
  AlTestDevice() {
    setenv("ALSOFT_DRIVERS", "null", 0);
    device_ = alcOpenDevice(nullptr);
    if (device_) context_ = alcCreateContext(device_, nullptr);
    if (context_) alcMakeContextCurrent(context_);
  }
  ~AlTestDevice() {
    alcMakeContextCurrent(nullptr);
    if (context_) alcDestroyContext(context_);
    if (device_) alcCloseDevice(device_);
    // Buffer names of a closed device mean nothing to the next one.
    host::discarded.clear();
  }
  AlTestDevice(const AlTestDevice&) = delete;
  AlTestDevice& operator=(const AlTestDevice&) = delete;

  bool Ready() const { return context_ != nullptr; }

 private:
  ALCdevice* device_ = nullptr;
  ALCcontext* context_ = nullptr;
};

}  // namespace vantor::test
