// Costs the game loop pays on every step: letting events through with nothing pending, moving and
// showing sprites, creating array elements, and composing a frame when one is due.
#include <benchmark/benchmark.h>

#include "platform/backend/backends.h"
#include "platform/forwarding_display.h"
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

// Sprites 1..count shown in rows from the top-left cell.
void showSprites(SpriteForm& form, int count) {
    for (int i = 1; i <= count; ++i) {
        Image& s = form.sprites->create(i);
        s.move((i * 10) % 800, (i / 80) * 10);
        s.visible = true;
    }
}

// A full frame of a game screen: background plus 400 visible sprites.
void BM_ComposeGameFrame(benchmark::State& state) {
    HeadlessBackend backend;
    Application app(backend.services());
    SpriteForm form(app);
    form.show();
    showSprites(form, 400);
    for (auto _ : state) benchmark::DoNotOptimize(app.screenshot());
}
BENCHMARK(BM_ComposeGameFrame);

// A display that takes every frame at once and does nothing with it.
class EagerDisplay : public ForwardingDisplay {
  public:
    using ForwardingDisplay::ForwardingDisplay;
    bool readyForFrame() override { return true; }
    void present(const Canvas& frame, const std::vector<Rect>& changed) override {
        benchmark::DoNotOptimize(frame.row(0));
        benchmark::DoNotOptimize(changed.data());
    }
};

// One step of two 200-segment snakes on a game screen, then a frame: what the loop pays to find
// the changed areas among 400 sprites, compose them and hand them to the display.
void BM_PresentSnakeStep(benchmark::State& state) {
    HeadlessBackend backend;
    EagerDisplay display(backend.services().display);
    Services services{backend.services().clock, backend.services().random, backend.services().sound,
                      backend.services().graphics, display};
    Application app(services);
    SpriteForm form(app);
    form.show();
    showSprites(form, 400);
    app.doEvents();
    int step = 0;
    for (auto _ : state) {
        // Each snake's tail sprite jumps to the front of its head.
        Image& red = (*form.sprites)[1 + step % 200];
        Image& blue = (*form.sprites)[201 + step % 200];
        red.move((step * 10) % 800, 300);
        blue.move((step * 10) % 800, 400);
        ++step;
        backend.setNow(backend.now() + 16);
        app.doEvents();
    }
}
BENCHMARK(BM_PresentSnakeStep);

}  // namespace
}  // namespace zib
