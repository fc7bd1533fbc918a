// Forms: load, show, hide and unload, the controls created by the design, and composition.
#include "platform/toolkit.h"

namespace zib {

Form::Form(Application& app) : app_(app) {
    app_.attach(this);
}

Form::~Form() {
    discardControls();
    app_.detach(this);
}

Services& Form::services() {
    return app_.services();
}

Canvas& Form::canvas() {
    app_.invalidate();
    return canvas_;
}

void Form::load() {
    if (loaded_) return;
    loaded_ = true;  // set first: design() or Form_Load may show the form
    canvas_ = Canvas(width_, height_, backColour);
    design();
    Form_Load();
    app_.invalidate();
}

void Form::show() {
    load();
    if (!loaded_) return;  // Form_Load unloaded it again
    visible_ = true;
    app_.bringToTop(this);
    app_.invalidate();
}

void Form::hide() {
    if (!visible_) return;
    visible_ = false;
    app_.invalidate();
}

void Form::unload() {
    if (!loaded_) return;
    hide();
    Form_Unload();
    loaded_ = false;
    discardControls();
    canvas_ = Canvas();
    app_.invalidate();
}

void Form::refresh() {
    app_.invalidate();
}

void Form::discardControls() {
    for (auto& t : timers_) {
        t->alive_ = false;
        t->enabled_ = false;
    }
    if (!timers_.empty()) {
        timers_.clear();
        app_.timersChanged();
    }
    // A handler still running keeps its control alive through its own reference; detaching makes
    // the leftovers harmless.
    layer_.detachAll();
    layer_ = ControlLayer();
    arrays_.clear();
}

namespace {

void collectLabels(const std::vector<std::shared_ptr<Control>>& controls,
                   std::vector<const Label*>& out) {
    for (const auto& c : controls)
        if (const auto* label = dynamic_cast<const Label*>(c.get())) out.push_back(label);
}

}  // namespace

std::vector<const Label*> Form::labels() const {
    std::vector<const Label*> out;
    std::vector<const ControlLayer*> layers{&layer_};
    for (size_t i = 0; i < layers.size(); ++i) {
        collectLabels(layers[i]->light, out);
        for (const auto& box : layers[i]->boxes) layers.push_back(&box->children_);
    }
    return out;
}

ControlLayer& Form::layerOf(PictureBox* inside) {
    return inside ? inside->children_ : layer_;
}

template <class T>
T& Form::adopt(std::shared_ptr<T> c, PictureBox* inside) {
    c->form_ = this;
    c->container_ = inside;
    T& result = *c;
    if constexpr (std::is_same_v<T, PictureBox>)
        layerOf(inside).boxes.push_back(std::move(c));
    else
        layerOf(inside).light.push_back(std::move(c));
    app_.noteChange();  // the next frame finds it
    return result;
}

Image& Form::addImage(PictureBox* inside) {
    return adopt(std::make_shared<Image>(), inside);
}

Label& Form::addLabel(PictureBox* inside) {
    return adopt(std::make_shared<Label>(), inside);
}

PictureBox& Form::addPictureBox(PictureBox* inside) {
    return adopt(std::make_shared<PictureBox>(), inside);
}

ImageArray& Form::addImageArray(PictureBox* inside) {
    auto array = std::make_unique<ImageArray>();
    array->form_ = this;
    array->container_ = inside;
    auto first = std::make_shared<Image>();
    array->items_.push_back(first);
    adopt(std::move(first), inside);
    arrays_.push_back(std::move(array));
    return *arrays_.back();
}

Timer& Form::addTimer(uint32_t intervalMs, bool enabled) {
    auto t = std::make_shared<Timer>();
    t->app_ = &app_;
    t->interval_ = intervalMs;
    timers_.push_back(t);
    app_.registerTimer(t);
    t->setEnabled(enabled);
    return *t;
}

void Form::compose(Canvas& target, const Rect& area) {
    if (!loaded_) return;
    const Rect a = area.intersect(Rect{0, 0, width_, height_});
    target.blit(canvas_, a.x, a.y, a.w, a.h, a.x, a.y);
    layer_.draw(target, 0, 0, a);
}

std::shared_ptr<Control> Form::controlAt(int x, int y, int& localX, int& localY) {
    if (!loaded_) return nullptr;
    return layer_.hit(x, y, localX, localY);
}

}  // namespace zib
