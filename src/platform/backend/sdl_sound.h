#pragma once
// Sound through SDL_mixer on a single channel.
#include <map>
#include <string>

#include "platform/services.h"

struct Mix_Chunk;

namespace zib {

// Plays sound files asynchronously; a new sound cuts off the one still playing. Without an audio
// device it stays silent; a file that cannot be read is skipped.
class SdlSound : public Sound {
  public:
    SdlSound();
    ~SdlSound() override;
    SdlSound(const SdlSound&) = delete;
    SdlSound& operator=(const SdlSound&) = delete;

    void play(const std::string& path) override;

  private:
    Mix_Chunk* chunkFor(const std::string& path);
    bool open_ = false;
    std::map<std::string, Mix_Chunk*> chunks_;
};

}  // namespace zib
