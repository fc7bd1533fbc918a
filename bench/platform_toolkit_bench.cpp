// Costs the game loop pays on every step: letting events through with nothing pending, moving and
// showing sprites, creating array elements, and composing a frame when one is due.
#include <benchmark/benchmark.h>

#include "platform/backend/backends.h"
#include "platform/toolkit.h"

namespace zib {
namespace {

class SpriteForm : public Form {
  public:
    using Form::Form;
    ImageArray* sprites = nullptr;
    Timer* idle = nullptr;

  protected:
    void design() override {
        sprites = &addImageArray();
        (*sprites)[0].setPicture(std::make_shared<const Canvas>(10, 10, rgb(255, 0, 0)));
        idle = &addTimer(20000, true);
        idle->onTick = [] {};
    }
};

void BM_DoEventsIdle(benchmark::State& state) {
    HeadlessBackend backend;
    Application app(backend.services());
    SpriteForm form(app);
    form.show();
    for (auto _ : state) app.doEvents();
}
BENCHMARK(BM_DoEventsIdle);

void BM_MoveAndShowSprite(benchmark::State& state) {
    HeadlessBackend backend;
    Application app(backend.services());
    SpriteForm form(app);
    form.show();
    Image& sprite = (*form.sprites)[0];
    int x = 0;
    for (auto _ : state) {
        x = (x + 10) % 800;
        sprite.move(x, 300);
        sprite.visible = !sprite.visible;
        benchmark::DoNotOptimize(sprite);
    }
}
BENCHMARK(BM_MoveAndShowSprite);

void BM_CreateArrayElements(benchmark::State& state) {
    HeadlessBackend backend;
    Application app(backend.services());
    SpriteForm form(app);
    for (auto _ : state) {
        state.PauseTiming();
        form.unload();
        form.show();
        state.ResumeTiming();
        for (int i = 1; i <= 200; ++i) benchmark::DoNotOptimize(&form.sprites->create(i));
    }
    state.SetItemsProcessed(state.iterations() * 200);
}
BENCHMARK(BM_CreateArrayElements);

// A full frame of a game screen: background plus 400 visible sprites.
void BM_ComposeGameFrame(benchmark::State& state) {
    HeadlessBackend backend;
    Application app(backend.services());
    SpriteForm form(app);
    form.show();
    for (int i = 1; i <= 400; ++i) {
        Image& s = form.sprites->create(i);
        s.move((i * 10) % 800, (i / 80) * 10);
        s.visible = true;
    }
    for (auto _ : state) benchmark::DoNotOptimize(app.screenshot());
}
BENCHMARK(BM_ComposeGameFrame);

}  // namespace
}  // namespace zib
