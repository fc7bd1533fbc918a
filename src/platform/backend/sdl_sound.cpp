// The sound service: one mixer channel, chunks loaded on first use and kept.
#include "platform/backend/sdl_sound.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <dlfcn.h>

#include <cstring>
#include <iostream>

#include "platform/files.h"
#include "platform/texts.h"

namespace zib {
namespace {

// ALSA's library writes its own account of a failed open to standard error, eight lines or more.
// While SDL opens the device through ALSA, that account goes nowhere; the game says once what
// failed. The library is only looked up when SDL has already loaded it.
extern "C" void quietAlsaError(const char*, int, const char*, int, const char*, ...) {}

class AlsaQuiet {
  public:
    AlsaQuiet() {
        const char* driver = SDL_GetCurrentAudioDriver();
        if (!driver || std::strcmp(driver, "alsa") != 0) return;
        library_ = dlopen("libasound.so.2", RTLD_LAZY | RTLD_NOLOAD);
        if (library_) setHandler_ = reinterpret_cast<SetHandler>(dlsym(library_, kSetHandler));
        if (setHandler_) setHandler_(quietAlsaError);
    }
    ~AlsaQuiet() {
        if (setHandler_) setHandler_(nullptr);  // ALSA's own handler again
        if (library_) dlclose(library_);
    }
    AlsaQuiet(const AlsaQuiet&) = delete;
    AlsaQuiet& operator=(const AlsaQuiet&) = delete;

  private:
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    using SetHandler = int (*)(Handler);
    static constexpr const char* kSetHandler = "snd_lib_error_set_handler";
    void* library_ = nullptr;
    SetHandler setHandler_ = nullptr;
};

void reportNoSound(const char* why) {
    std::cerr << format(tr("ZIB: zvuk nelze přehrávat ({}), hra poběží bez zvuku."), why)
              << std::endl;
}

}  // namespace

SdlSound::SdlSound() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        reportNoSound(SDL_GetError());
        return;
    }
    bool opened;
    {
        AlsaQuiet quiet;
        // Short buffers keep the delay between a turn and its click small.
        opened = Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 512) == 0;
    }
    if (!opened) {
        reportNoSound(SDL_GetError());
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
