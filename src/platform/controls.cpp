// The controls: images, image arrays, labels, picture boxes, and the layer that draws and hit-tests
// the controls of one container.
#include <algorithm>
#include <stdexcept>
#include <string>

#include "platform/toolkit.h"

namespace zib {

void Control::changed() {
    repaint_ = true;
    if (form_) form_->app().noteChange();
}

void Control::formPosition(int& x, int& y) const {
    x = left;
    y = top;
    for (const Control* c = container_; c; c = c->container_) {
        x += c->left;
        y += c->top;
    }
}

// ---- ControlLayer

void ControlLayer::draw(Canvas& target, int originX, int originY, const Rect& clip) const {
    for (const auto& c : light)
        if (c->visible) c->draw(target, originX, originY, clip);
    for (const auto& b : boxes)
        if (b->visible) b->draw(target, originX, originY, clip);
}

std::shared_ptr<Control> ControlLayer::hit(int x, int y, int& localX, int& localY) const {
    for (auto it = boxes.rbegin(); it != boxes.rend(); ++it) {
        const PictureBox& b = **it;
        // A disabled box and its children let the controls below have the event.
        if (!b.visible || !b.enabled || !b.contains(x, y)) continue;
        if (auto inner = b.children_.hit(x - b.left, y - b.top, localX, localY)) return inner;
        localX = x - b.left;
        localY = y - b.top;
        return *it;
    }
    for (auto it = light.rbegin(); it != light.rend(); ++it) {
        const Control& c = **it;
        if (!c.visible || !c.enabled || !c.contains(x, y)) continue;
        localX = x - c.left;
        localY = y - c.top;
        return *it;
    }
    return nullptr;
}

namespace {
// A control whose drawing covers now (empty when it is not shown): the area it covered at the last
// frame and the one it covers now are repainted when they differ or when its pixels changed.
void noteControl(const Rect& now, bool repaint, Rect& drawn, std::vector<Rect>& damage) {
    const bool moved = now.x != drawn.x || now.y != drawn.y || now.w != drawn.w || now.h != drawn.h;
    if (!moved && !repaint) return;
    if (!drawn.empty()) damage.push_back(drawn);
    if (moved && !now.empty()) damage.push_back(now);
    drawn = now;
}
}  // namespace

void ControlLayer::noteChanges(int originX, int originY, const Rect& clip, bool shown,
                               std::vector<Rect>& damage) const {
    for (const auto& c : light) {
        const Rect now = shown && c->visible ? c->area(originX, originY).intersect(clip) : Rect{};
        noteControl(now, c->repaint_, c->drawnArea_, damage);
        c->repaint_ = false;
    }
    for (const auto& b : boxes) {
        const Rect now = shown && b->visible ? b->area(originX, originY).intersect(clip) : Rect{};
        noteControl(now, b->repaint_, b->drawnArea_, damage);
        b->repaint_ = false;
        b->children_.noteChanges(originX + b->left, originY + b->top, now, !now.empty(), damage);
    }
}

void ControlLayer::detachAll() {
    for (auto& c : light) {
        c->form_ = nullptr;
        c->container_ = nullptr;
    }
    for (auto& b : boxes) {
        b->children_.detachAll();
        b->form_ = nullptr;
        b->container_ = nullptr;
    }
}

// ---- Image

void Image::setPicture(Picture p) {
    picture_ = std::move(p);
    width = picture_ ? picture_->width() : 0;
    height = picture_ ? picture_->height() : 0;
    changed();
}

void Image::draw(Canvas& target, int originX, int originY, const Rect& clip) {
    if (picture_) target.drawOver(*picture_, originX + left, originY + top, clip);
}

Rect Image::area(int originX, int originY) {
    if (!picture_) return Rect{};
    return Rect{originX + left, originY + top, picture_->width(), picture_->height()};
}

// ---- ImageArray

void ImageArray::missing(int index) {
    throw std::out_of_range("control array element " + std::to_string(index) + " does not exist");
}

Image& ImageArray::create(int index) {
    if (index <= 0) throw std::logic_error("control array element 0 comes from the design");
    if (exists(index))
        throw std::logic_error("control array element " + std::to_string(index) +
                               " already exists");
    if (!form_) throw std::logic_error("control array of an unloaded form");
    const Image& first = (*this)[0];
    auto image = std::make_shared<Image>();
    image->picture_ = first.picture_;
    image->left = first.left;
    image->top = first.top;
    image->width = first.width;
    image->height = first.height;
    image->enabled = first.enabled;
    image->visible = false;
    image->form_ = form_;
    image->container_ = container_;
    if (static_cast<size_t>(index) >= items_.size()) items_.resize(static_cast<size_t>(index) + 1);
    items_[static_cast<size_t>(index)] = image;
    Image& result = *image;
    form_->layerOf(container_).light.push_back(std::move(image));
    return result;
}

// ---- Label

void Label::setCaption(const std::string& utf8) {
    if (utf8 == caption_) return;
    caption_ = utf8;
    stale_ = true;
    changed();
}

void Label::setColour(uint32_t colour) {
    if (colour == colour_) return;
    colour_ = colour;
    stale_ = true;
    changed();
}

void Label::setFont(const FontSpec& font) {
    font_ = font;
    stale_ = true;
    changed();
}

void Label::render() {
    if (!stale_ || !form_) return;
    rendered_ = caption_.empty() ? Canvas()
                                 : form_->services().graphics.renderText(caption_, font_, colour_);
    stale_ = false;
}

void Label::place(int originX, int originY, int& textX, Rect& bounds) {
    const int x = originX + left;
    const int y = originY + top;
    textX = x;
    if (width > 0 && align == Align::Center) textX += (width - rendered_.width()) / 2;
    if (width > 0 && align == Align::Right) textX += width - rendered_.width();
    bounds = Rect{textX, y, rendered_.width(), rendered_.height()};
    if (width > 0 && height > 0) bounds = bounds.intersect(Rect{x, y, width, height});
}

void Label::draw(Canvas& target, int originX, int originY, const Rect& clip) {
    if (caption_.empty() || !form_) return;
    render();
    int textX = 0;
    Rect bounds;
    place(originX, originY, textX, bounds);
    target.drawOver(rendered_, textX, originY + top, bounds.intersect(clip));
}

Rect Label::area(int originX, int originY) {
    if (caption_.empty() || !form_) return Rect{};
    render();
    int textX = 0;
    Rect bounds;
    place(originX, originY, textX, bounds);
    // A new alignment moves text wider than its box under the same clip: repaint it.
    if (textX != drawnTextX_) repaint_ = true;
    drawnTextX_ = textX;
    return bounds;
}

// ---- PictureBox

Canvas& PictureBox::canvas() {
    coverControlArea();
    changed();
    return canvas_;
}

void PictureBox::coverControlArea() {
    if (canvas_.width() >= width && canvas_.height() >= height) return;
    Canvas grown(std::max(canvas_.width(), width), std::max(canvas_.height(), height), kWhite);
    grown.blit(canvas_, 0, 0, canvas_.width(), canvas_.height(), 0, 0);
    canvas_ = std::move(grown);
}

void PictureBox::loadPicture(const std::string& path) {
    if (!form_) throw std::logic_error("picture box of an unloaded form");
    setPicture(form_->app().loadPicture(path));
}

void PictureBox::setPicture(const Picture& p) {
    picture_ = p;
    canvas_ = p ? *p : Canvas();
    if (autoSize && p) {
        width = p->width();
        height = p->height();
    }
    coverControlArea();
    changed();
}

void PictureBox::resizeCanvas(int w, int h) {
    canvas_ = Canvas(w, h, kWhite);
    changed();
}

Rect PictureBox::area(int originX, int originY) {
    return Rect{originX + left, originY + top, width, height};
}

void PictureBox::draw(Canvas& target, int originX, int originY, const Rect& clip) {
    int x = originX + left;
    int y = originY + top;
    Rect area = clip.intersect(Rect{x, y, width, height});
    if (area.empty()) return;
    coverControlArea();
    target.copyFrom(canvas_, x, y, area);
    children_.draw(target, x, y, area);
}

}  // namespace zib
