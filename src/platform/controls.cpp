// The controls: images, image arrays, labels, picture boxes, and the layer that draws and hit-tests
// the controls of one container.
#include <algorithm>
#include <stdexcept>
#include <string>

#include "platform/toolkit.h"

namespace zib {

void Control::changed() {
    if (form_) form_->app().invalidate();
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
inline uint64_t mix(uint64_t h, uint64_t v) {
    h ^= v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
    return h;
}
inline uint64_t controlDigest(uint64_t h, const Control& c) {
    uint64_t place = (uint64_t(uint32_t(c.left)) << 32) | uint32_t(c.top);
    uint64_t size = (uint64_t(uint32_t(c.width)) << 32) | uint32_t(c.height);
    return mix(mix(mix(h, place), size), c.visible ? 1 : 2);
}
}  // namespace

uint64_t ControlLayer::digest(uint64_t h) const {
    for (const auto& c : light) {
        h = controlDigest(h, *c);
        if (auto* image = dynamic_cast<const Image*>(c.get()))
            h = mix(h, reinterpret_cast<uintptr_t>(image->picture().get()));
    }
    for (const auto& b : boxes) {
        h = controlDigest(h, *b);
        if (b->visible) h = b->children_.digest(h);
    }
    return mix(h, light.size() * 31 + boxes.size());
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

void Label::draw(Canvas& target, int originX, int originY, const Rect& clip) {
    if (caption_.empty() || !form_) return;
    if (stale_) {
        rendered_ = form_->services().graphics.renderText(caption_, font_, colour_);
        stale_ = false;
    }
    int x = originX + left;
    int y = originY + top;
    Rect area = clip;
    if (width > 0 && height > 0) area = area.intersect(Rect{x, y, width, height});
    if (width > 0 && align == Align::Center) x += (width - rendered_.width()) / 2;
    if (width > 0 && align == Align::Right) x += width - rendered_.width();
    target.drawOver(rendered_, x, y, area);
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
