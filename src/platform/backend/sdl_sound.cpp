// The sound service: one mixer channel, chunks loaded on first use and kept.
#include "platform/backend/sdl_sound.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include "platform/files.h"

namespace zib {

SdlSound::SdlSound() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;
    // Short buffers keep the delay between a turn and its click small.
    if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 512) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    Mix_AllocateChannels(1);
    open_ = true;
}

SdlSound::~SdlSound() {
    if (!open_) return;
    Mix_HaltChannel(-1);
    for (auto& entry : chunks_) Mix_FreeChunk(entry.second);
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

Mix_Chunk* SdlSound::chunkFor(const std::string& path) {
    auto it = chunks_.find(path);
    if (it != chunks_.end()) return it->second;
    // The game names its sounds Windows-style ("BaseQ7\Sound\UP.wav"); resolve such names when
    // the path does not name a file as given.
    Mix_Chunk* chunk = Mix_LoadWAV(path.c_str());
    if (!chunk) {
        if (auto real = findDataFile(path)) chunk = Mix_LoadWAV(real->c_str());
    }
    if (chunk) chunks_.emplace(path, chunk);  // failures are retried: the file may appear later
    return chunk;
}

void SdlSound::play(const std::string& path) {
    if (!open_) return;
    if (Mix_Chunk* chunk = chunkFor(path)) Mix_PlayChannel(0, chunk, 0);
}

}  // namespace zib
